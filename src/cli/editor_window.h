#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "settings/basic_settings.h"
#include "settings/config_store.h"
#include "settings/memory_site_view.h"
#include "settings/site_config.h"
#include "settings/site_editor.h"

// The main window over the settings file: the sites in the list box, one row selected and
// its site in the controls, as after start-up and a click on that row. The commands that
// edit sites go through it, so they take the window's decisions.
struct EditorWindow {
    BasicSettings settings;
    SiteList sites;
    MemorySiteView view;
    std::unique_ptr<SiteEditor> editor;

    std::int32_t savedRow = -1;  // 现行项 as stored

    // withStore: row check boxes write 启用 at once, as the window's do.
    void Load(ConfigStore& store, bool withStore);

    // A row outside the list selects none; the controls then keep their design values.
    void Show(std::int32_t row);

    // The window's last message as the error of a refused edit.
    int Refused(const std::string& words) const;

    // As the exit saves: everything, then the sections past the list go.
    bool SaveAll(ConfigStore& store) const;

    // "N 真/假 域名(用户)" of a row, as sites list prints it.
    void PrintRow(std::int32_t row) const;
};
