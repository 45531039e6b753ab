#include "run/site_job.h"

#include <algorithm>
#include <cstdint>

#include "core/events.h"
#include "run/run_context.h"
#include "run/run_texts.h"

namespace {

constexpr std::int32_t kLoginTries = 3;
constexpr std::int32_t kPublishAttempts = 3;
constexpr std::int32_t kFailuresBeforeRelogin = 5;
constexpr std::int32_t kPreparations = 3;

SiteConfig& Site(RunContext& run, std::int32_t site) {
    return run.sites[static_cast<std::size_t>(site) - 1];
}

void Row(RunContext& run, std::int32_t site, const std::string& message) {
    run.log.WriteLogRow(message, site);
}

bool StopAsked(RunContext& run, const SiteConfig& site) {
    return run.state.stopRequested.load() || site.run.stopRequested.load();
}

// Waits `ms`, ending early on a stop of the run and also on a stop of this site, which
// would otherwise sit out a long pause before it finishes.
void PauseUnlessStopped(RunContext& run, const SiteConfig& site, std::int64_t ms) {
    std::int64_t left = ms;
    while (left > 0 && !StopAsked(run, site)) {
        const std::int64_t slice = std::min<std::int64_t>(left, 10);
        WaitMs(slice, &run.state.stopRequested);
        left -= slice;
    }
}

void PauseAfterPost(RunContext& run, const SiteConfig& site) {
    const double ms = static_cast<double>(site.间隔秒1) * 1000.0;
    PauseUnlessStopped(
        run, site, ms > 3.2e10 ? static_cast<std::int64_t>(3.2e10) : static_cast<std::int64_t>(ms));
}

// Counts the exchanges in a row that got no answer at all. An answer of any kind, even
// one without the marker, means the site is up again.
void NoteExchange(RunContext& run, SiteConfig& site, bool succeeded) {
    if (succeeded || !run.ops.answered || run.ops.answered(site)) {
        site.run.silentFailures = 0;
    } else if (site.run.silentFailures < INT32_MAX) {
        site.run.silentFailures += 1;
    }
}

std::int64_t OutagePauseMs(const OutagePauses& pauses, std::int32_t silentFailures) {
    if (silentFailures <= 0) return 0;
    std::int64_t ms = std::max<std::int64_t>(pauses.firstMs, 0);
    for (std::int32_t i = 1; i < silentFailures && ms < pauses.maxMs; ++i) ms *= 2;
    return std::min(ms, pauses.maxMs);
}

// Cheap shared hosts restart their web servers often: after exchanges that got no answer
// the next try waits, longer each time, instead of spending the site's tries within a
// second of a short outage. False when a stop ended the wait.
bool WaitOutOutage(RunContext& run, const SiteConfig& site) {
    PauseUnlessStopped(run, site, OutagePauseMs(run.ops.outagePauses, site.run.silentFailures));
    return !StopAsked(run, site);
}

}  // namespace

bool Prepare(RunContext& run, std::int32_t number, std::int32_t attempt) {
    const RunTexts& t = Texts();
    SiteConfig& site = Site(run, number);
    run.ops.resetSession(site);
    if (site.域名.empty() || site.用户.empty() || site.密码.empty()) {
        Row(run, number, t.missingData);
        FinishSite(run, number);
        return false;
    }
    Row(run, number,
        t.loginStart +
            (attempt >= 2 ? t.attemptLeft + std::to_string(attempt) + t.attemptRight : ""));
    bool loggedIn = false;
    for (std::int32_t i = 0; i < kLoginTries; ++i) {
        if (!WaitOutOutage(run, site)) {
            // Stopped while waiting for the site to come back: not a failed login.
            FinishSite(run, number);
            return false;
        }
        PumpEvents();
        const LoginResult result = run.ops.login(site);
        loggedIn = result == LoginResult::Ok;
        NoteExchange(run, site, loggedIn);
        if (loggedIn) break;
        if (result == LoginResult::CaptchaRequired) {
            // Every further try would meet the same picture code: say why, once.
            Row(run, number, t.loginCaptcha);
            FinishSite(run, number);
            return false;
        }
        Row(run, number, t.loginRetry);
        if (site.run.finished || run.state.stopRequested) break;
    }
    if (!loggedIn) {
        Row(run, number, t.loginGaveUp);
        FinishSite(run, number);
        return false;
    }
    Row(run, number, t.loginOk);
    // On the window's thread a stop clicked during the login waits in the event queue:
    // see it now, not inside the next publish.
    PumpEvents();
    if (site.run.finished) return false;
    if (run.state.stopRequested) {
        FinishSite(run, number);
        return false;
    }
    site.run.articlePaths = run.ops.listArticles(site, run.state.scanVariant.load());
    site.run.articlesRead =
        static_cast<std::int32_t>(std::min<std::size_t>(site.run.articlePaths.size(), INT32_MAX));
    site.run.articlePicker.Reset();
    site.run.articlesDrawn = 0;
    run.ops.resetPreparation(site);
    const std::int32_t quota = SiteQuota(site, run.settings.Get());
    if (site.run.articlesRead == 0) {
        Row(run, number,
            t.noArticlesLeft + site.文件过滤 + t.noArticlesMiddle + site.文章目录 +
                t.noArticlesRight);
        return true;
    }
    // Appended piece by piece: GCC 12 at -O3 takes `" " + std::to_string(…)` (an insert
    // at the front) for an overlapping copy and warns.
    std::string row = t.listRead + std::to_string(site.run.articlesRead) + t.listQuotaLeft;
    if (quota > 0) {
        row += ' ';
        row += std::to_string(quota);
        row += t.pieces;
    } else {
        row += t.listQuotaAll;
    }
    Row(run, number, row);
    return true;
}

PostResult PostNext(RunContext& run, std::int32_t number, bool noWait) {
    const RunTexts& t = Texts();
    SiteConfig& site = Site(run, number);
    if (!site.启用 || site.run.finished) return PostResult::Continue;
    site.run.articlesDrawn += 1;
    if (site.run.articlesDrawn > site.run.articlesRead || StopAsked(run, site)) {
        FinishSite(run, number);
        return PostResult::Continue;
    }
    const std::int32_t k = site.run.articlePicker.Draw(1, site.run.articlesRead);
    const std::string path = site.run.articlePaths[static_cast<std::size_t>(k) - 1];
    const auto article = run.ops.compose(path, site);
    if (!article || article->body.empty()) {
        Row(run, number, t.missingArticle + path);
        return PostResult::Continue;
    }
    bool posted = false;
    for (std::int32_t i = 0; i < kPublishAttempts; ++i) {
        PumpEvents();  // a stop clicked since the last look is seen before anything is sent
        if (!WaitOutOutage(run, site)) {
            // Never sent: the article stays on disk and the next call finishes the site.
            if (i == 0) return PostResult::Continue;
            break;
        }
        posted = run.ops.publish(site, article->title, article->body);
        NoteExchange(run, site, posted);
        if (posted || StopAsked(run, site) || !run.settings.Get().选择框失败时重复尝试) break;
        // After no answer the outage wait above takes the place of the short pause.
        if (i + 1 < kPublishAttempts && site.run.silentFailures == 0) WaitMs(100);
    }
    if (posted) {
        site.run.posted += 1;
        site.run.failStreak = 0;
        run.state.totalPosted += 1;
        Row(run, number,
            t.postedLeft + std::to_string(site.run.posted) + t.postedCategory +
                std::to_string(article->category) + t.postedRight);
        if (site.删除已更新文章) run.ops.deleteFile(path);  // a failed delete is ignored
        const std::int32_t quota = SiteQuota(site, run.settings.Get());
        if (quota > 0 && site.run.posted >= quota) FinishSite(run, number);
    } else {
        Row(run, number, t.postFailed + article->title);
        site.run.failStreak += 1;
        if (site.run.failStreak >= kFailuresBeforeRelogin) {
            site.run.failStreak = 0;
            return PostResult::Relogin;
        }
    }
    // A site that reached its quota is done: its pause would only hold back the end of
    // the run, which collects the job's thread before the summary.
    if (!noWait && !site.run.finished) PauseAfterPost(run, site);
    return PostResult::Continue;
}

void RunIndependentJob(RunContext& run, std::int32_t number) {
    SiteConfig& site = Site(run, number);
    for (std::int32_t attempt = 1; attempt <= kPreparations; ++attempt) {
        Prepare(run, number, attempt);
        for (;;) {
            if (site.run.finished) return;
            PumpEvents();
            if (PostNext(run, number, false) == PostResult::Relogin) break;
        }
    }
    FinishSite(run, number);
}

void FinishSite(RunContext& run, std::int32_t number) {
    SiteConfig& site = Site(run, number);
    {
        std::lock_guard lock(run.state.finishMutex);
        if (site.run.finished) return;
        site.run.finished = true;
    }
    run.ui.Post([&run, number] {
        run.host.SetSiteRowEnabled(number, false);
        run.host.SetSiteStopEnabled(false);
    });
    site.run.articlePaths.clear();
    site.run.articlePaths.shrink_to_fit();
    if (run.ops.endSession) run.ops.endSession(site);
    if (site.run.started) {
        // The closing row goes out before the count drops, so it precedes the summary
        // that a count of 0 lets the controller write.
        Row(run, number, Texts().siteStopped + std::to_string(site.run.posted) + Texts().pieces);
        run.state.runningJobs -= 1;
    }
}
