#pragma once

#include <string>

// The fixed texts of the update run, as in-system GBK, converted once.
struct RunTexts {
    // start button and log window captions
    std::string startCaption, stopCaption, stoppingCaption;
    std::string viewLog, closeLog, locatePrefix, locateBeforeFirstRun;
    // controller rows and messages
    std::string runStart, preparing, prepared, forcedStop, doneMessage, doneMiddle;
    // site job rows
    std::string missingData, loginStart, attemptLeft, attemptRight, loginRetry, loginGaveUp,
        loginCaptcha, loginOk, noArticlesLeft, noArticlesMiddle, noArticlesRight, listRead,
        listQuotaLeft, listQuotaAll, pieces, missingArticle, postedLeft, postedCategory,
        postedRight, postFailed, siteStopped;
    // summary
    std::string runEnd, tableHead, summaryPosted, summaryQuota, summaryRead, summaryRight,
        totalLeft, totalMiddle, globalSite;
    // durations
    std::string millis, seconds, minutes, hours, days, months, years;
    // shutdown countdown
    std::string countdownTitle, countdownLeft, countdownRight, shutdownNowCaption,
        stopShutdownCaption, shutdownStopped;
};

const RunTexts& Texts();
