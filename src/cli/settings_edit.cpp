#include "cli/settings_edit.h"

#include <cstdio>

#include "core/charset.h"
#include "core/platform/files.h"
#include "settings/basic_settings.h"
#include "settings/settings_file.h"
#include "settings/site_records.h"

int CliRefuse(const std::string& utf8Message) {
    CliFail(utf8Message);
    return 1;
}

bool WriteFirstStartSettings(ConfigStore& store) {
    ConfigStore::Batch batch(store);
    // Start-up reads every key with its control's design value as default and finds no
    // site; the exit saves all of it, then prunes.
    bool ok = SaveAllSettings(store, BasicSettings{}, SiteList{}, -1);
    ok = PruneSiteSections(store, 0) && ok;
    return batch.End() && ok;
}

bool SettingsEdit::Open(bool createMissing, int& exitCode) {
    const std::string& path = m_context.settingsPath;
    m_store.SetWarningHandler([this](const std::string& message, const std::string& detail) {
        if (m_firstWarning.empty())
            m_firstWarning = charset::GbkToUtf8(message) +
                             (detail.empty() ? "" : " (" + charset::GbkToUtf8(detail) + ")");
    });
    if (!platform::FileExists(path)) {
        if (!createMissing) {
            exitCode = CliFail("settings file not found: " + charset::GbkToUtf8(path));
            return false;
        }
        m_missing = true;
        return true;
    }
    if (!m_store.Bind(path)) {
        exitCode =
            CliRefuse("cannot open the settings file for writing (is the program using it?): " +
                      charset::GbkToUtf8(path));
        return false;
    }
    return true;
}

bool SettingsEdit::Save(const std::function<bool(ConfigStore&)>& write, int& exitCode) {
    const std::string& path = m_context.settingsPath;
    if (m_missing) {
        // Binding creates the file (empty, owner-only); it holds nothing of ours until
        // the publish below.
        if (!m_store.Bind(path)) {
            platform::DeleteFileAt(path);
            exitCode = CliRefuse("cannot create the settings file: " + charset::GbkToUtf8(path));
            return false;
        }
    }
    ConfigStore::Batch batch(m_store);
    bool ok = !m_missing || WriteFirstStartSettings(m_store);
    ok = write(m_store) && ok;
    ok = batch.End() && ok;
    if (!ok) {
        if (m_missing) {
            m_store.Close();
            platform::DeleteFileAt(path);
        }
        exitCode =
            CliRefuse(m_firstWarning.empty() ? "the settings were not saved" : m_firstWarning);
        return false;
    }
    if (m_missing) {
        // Passwords are kept in clear: whatever the umask, only the owner reads the file.
        platform::MakeOwnerOnly(path);
        std::fprintf(stderr, "qingluan-cli: created the settings file %s\n",
                     charset::GbkToUtf8(path).c_str());
        m_missing = false;
    }
    return true;
}
