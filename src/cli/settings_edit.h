#pragma once

// The settings file opened for a change by the commands that edit it.

#include <functional>
#include <string>

#include "cli/command.h"
#include "settings/config_store.h"

// Prints "qingluan-cli: message" on stderr and returns 1: the settings refused a change
// (2, from CliFail, is for a mistake in the arguments).
int CliRefuse(const std::string& utf8Message);

class SettingsEdit {
public:
    explicit SettingsEdit(const CliContext& context) : m_context(context) {}

    // Binds an existing file for writing, so no other instance writes it meanwhile. A
    // missing file is an error unless createMissing, in which case it stays missing until
    // Save and the store reads as empty (every key at its default). False with exitCode
    // set after the error line.
    bool Open(bool createMissing, int& exitCode);

    ConfigStore& Store() { return m_store; }
    bool Missing() const { return m_missing; }

    // Runs `write` on the store and publishes once. A missing file is first given what the
    // program's first start and exit write, readable by its owner only, and stderr says
    // so. False with exitCode set after the error line.
    bool Save(const std::function<bool(ConfigStore&)>& write, int& exitCode);

private:
    const CliContext& m_context;
    ConfigStore m_store;
    bool m_missing = false;
    std::string m_firstWarning;
};

// What the desktop program writes into a settings file it found missing when it starts
// and exits without any change: the design values of 基本配置, no sites, no selection.
bool WriteFirstStartSettings(ConfigStore& store);
