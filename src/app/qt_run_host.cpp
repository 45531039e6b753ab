#include "app/qt_run_host.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QUrl>

#include "app/countdown_dialog.h"
#include "app/log_window.h"
#include "app/qt_text.h"
#include "core/platform/paths.h"

QtRunHost::QtRunHost(RunWidgets widgets, std::function<void()> saveAllSettings)
    : m_w(std::move(widgets)), m_saveAll(std::move(saveAllSettings)) {}

void QtRunHost::ShowSettings(const BasicSettings& s) {
    m_w.syncCycle->setChecked(s.同步循环);
    m_w.cycleSeconds->setText(Q(s.循环间隔秒));
    m_w.independent->setChecked(s.先后独立);
    // Two radio buttons of one group cannot both be off once one was on; a file with both
    // false leaves them so (the run then goes by 同步循环 alone).
    if (!s.同步循环 && !s.先后独立) {
        m_w.independent->setAutoExclusive(false);
        m_w.independent->setChecked(false);
        m_w.independent->setAutoExclusive(true);
    }
    m_w.sitesAtOnce->setText(Q(s.同时站点数));
    m_w.globalQuota->setChecked(s.启用全局更新数量);
    m_w.globalQuotaCount->setText(Q(s.全局更新数量));
    m_w.globalQuotaCount->setEnabled(s.启用全局更新数量);
    m_w.shutdownWhenDone->setChecked(s.选择框完成关机);
    m_w.retryFailed->setChecked(s.选择框失败时重复尝试);
    m_importPath = s.导入路径;
    m_exportPath = s.导出路径;
}

BasicSettings QtRunHost::ReadRunSettings() {
    BasicSettings s;
    s.同步循环 = m_w.syncCycle->isChecked();
    s.循环间隔秒 = G(m_w.cycleSeconds->text());
    s.先后独立 = m_w.independent->isChecked();
    s.同时站点数 = G(m_w.sitesAtOnce->text());
    s.启用全局更新数量 = m_w.globalQuota->isChecked();
    s.全局更新数量 = G(m_w.globalQuotaCount->text());
    s.选择框完成关机 = m_w.shutdownWhenDone->isChecked();
    s.选择框失败时重复尝试 = m_w.retryFailed->isChecked();
    s.导入路径 = m_importPath;
    s.导出路径 = m_exportPath;
    return s;
}

void QtRunHost::SetStartCaption(const std::string& caption) {
    m_w.start->setText(Q(caption));
}

void QtRunHost::SetRunControlsEnabled(bool enabled) {
    if (!enabled) {
        m_enabledBefore.clear();
        for (QWidget* control : m_w.runControls) {
            m_enabledBefore.push_back(control->isEnabled());
            control->setEnabled(false);
        }
        return;
    }
    for (std::size_t i = 0; i < m_w.runControls.size(); ++i)
        m_w.runControls[i]->setEnabled(i >= m_enabledBefore.size() || m_enabledBefore[i]);
}

void QtRunHost::SetSiteStopVisible(bool visible) {
    m_w.addOrStop->setCurrentWidget(visible ? static_cast<QWidget*>(m_w.siteStop)
                                            : static_cast<QWidget*>(m_w.add));
}

void QtRunHost::SetSiteStopEnabled(bool enabled) {
    m_w.siteStop->setEnabled(enabled);
}

bool QtRunHost::IsSiteRowChecked(std::int32_t site) {
    const QListWidgetItem* item = m_w.sites->item(site - 1);
    return item && item->checkState() == Qt::Checked;
}

void QtRunHost::SetSiteRowEnabled(std::int32_t site, bool enabled) {
    QListWidgetItem* item = m_w.sites->item(site - 1);
    if (!item) return;
    // A flag change reports itself as an item change, which is no check by the user.
    const QSignalBlocker block(m_w.sites);
    item->setFlags(enabled ? item->flags() | Qt::ItemIsEnabled : item->flags() & ~Qt::ItemIsEnabled);
}

void QtRunHost::ClearLogView() {
    m_w.log->Clear();
}

void QtRunHost::AppendLogRow(const std::string& time, const std::string& site,
                             const std::string& message) {
    m_w.log->AppendRow(Q(time), Q(site), Q(message));
}

void QtRunHost::SetLocateCaption(const std::string& caption) {
    m_w.log->SetLocateCaption(Q(caption));
}

void QtRunHost::SetLogWindowVisible(bool visible) {
    m_w.log->setVisible(visible);
}

std::string QtRunHost::ViewLogCaption() {
    return G(m_w.viewLog->text());
}

void QtRunHost::SetViewLogCaption(const std::string& caption) {
    m_w.viewLog->setText(Q(caption));
}

void QtRunHost::BringLogToFront() {
    m_w.log->BringToFront();
}

void QtRunHost::RevealFile(const std::string& gbkPath) {
    // Desktops have no common "select this file"; the folder that holds it opens.
    const std::string folder = platform::ParentFolder(gbkPath);
    QDesktopServices::openUrl(QUrl::fromLocalFile(Q(folder.empty() ? gbkPath : folder)));
}

void QtRunHost::ShowCompletionMessage(const std::string& message) {
    if (m_quiet) return;
    QMessageBox::information(m_w.owner, QStringLiteral("岚舟："), Q(message));
}

void QtRunHost::SaveAllSettings() {
    m_saveAll();
}

void QtRunHost::RunShutdownCountdown(ShutdownCountdown& countdown) {
    if (m_quiet) return;
    RunCountdownDialog(countdown, m_w.owner);
}
