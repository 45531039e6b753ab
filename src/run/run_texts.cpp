#include "run/run_texts.h"

#include "core/charset.h"

namespace {
std::string G(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

RunTexts Build() {
    RunTexts t;
    t.startCaption = G("开始站群更新");
    t.stopCaption = G("停止站群更新");
    t.stoppingCaption = G("正在停止中..");
    t.viewLog = G("查看日志");
    t.closeLog = G("关闭日志");
    t.locatePrefix = G("点击定位日志文件：");
    t.locateBeforeFirstRun = G("开始采集之后才有日志");
    t.runStart = G("站群更新开始，当前时间点是：");
    t.preparing = G("正在进行更新前的准备工作(如登录站点、读取待更新文章列表等等)...");
    t.prepared = G("更新前的准备工作已就绪");
    t.forcedStop = G("已强制全部停止更新");
    t.doneMessage = G("更新完成！总更新了 ");
    t.doneMiddle = G(" 篇文章，更新耗费 ");
    t.missingData = G("站点配置信息不足，请检查域名、用户名、密码是否正确！将被忽略更新！");
    t.loginStart = G("开始登录");
    t.attemptLeft = G("(第 ");
    t.attemptRight = G(" 次尝试)");
    t.loginRetry = G("登录失败，正在重试..");
    t.loginGaveUp = G("经过多次重试依然登录失败！将被忽略更新！");
    t.loginCaptcha =
        G("登录失败：站点后台开启了登录验证码，程序无法自动登录，请在后台设置中关闭登录验证码！"
          "将被忽略更新！");
    t.loginOk = G("登录成功！");
    t.noArticlesLeft =
        G("待更新文章数量为 0，请检查文章目录或文件过滤选项或是否已点击修改按钮！将被忽略更新！"
          "当前站点的文件过滤为“");
    t.noArticlesMiddle = G("”，文章目录为“");
    t.noArticlesRight = G("”");
    t.listRead = G("读取待更新文章列表成功，总共 ");
    t.listQuotaLeft = G(" 篇文章！当前设置本站点更新");
    t.listQuotaAll = G("本次读取到的所有文章");
    t.pieces = G(" 篇");
    t.missingArticle = G("文章不存在：");
    t.postedLeft = G("已成功更新 ");
    t.postedCategory = G(" 篇文章[分类:");
    t.postedRight = G("]");
    t.postFailed = G("更新失败：");
    t.siteStopped = G("已停止更新，本次成功更新 ");
    t.runEnd = G("站群更新结束，当前时间点是：");
    t.tableHead = G("下面是本次更新的站点情况一览表");
    t.summaryPosted = G("实际更新 ");
    t.summaryQuota = G(" 篇（设置更新 ");
    t.summaryRead = G(" 篇，读取文章数 ");
    t.summaryRight = G(" 篇）");
    t.totalLeft = G("总更新了 ");
    t.totalMiddle = G(" 篇文章，更新耗费 ");
    t.globalSite = G("全局");
    t.millis = G(" 毫秒");
    t.seconds = G(" 秒");
    t.minutes = G(" 分");
    t.hours = G(" 时");
    t.days = G(" 天");
    t.months = G(" 月");
    t.years = G(" 年");
    t.countdownTitle = G("更新完毕，准备关机..");
    t.countdownLeft = G("距离关机还有 ");
    t.countdownRight = G(" 秒");
    t.shutdownNowCaption = G("立即关机！");
    t.stopShutdownCaption = G("停止关机！");
    t.shutdownStopped = G("已停止关机倒计时！");
    return t;
}
}  // namespace

const RunTexts& Texts() {
    static const RunTexts texts = Build();
    return texts;
}
