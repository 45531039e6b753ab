#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the form-state operations of the ConfigStore see of a control: its name (which
// also gives its kind, by prefix), its tag and the state each kind keeps. The Qt windows
// implement it over their widgets; a kind implements only the state it has, the rest
// keeps these neutral defaults. All texts are GBK.
class FormControl {
public:
    virtual ~FormControl() = default;

    virtual std::string Name() const = 0;
    virtual std::string Tag() const { return {}; }
    virtual void SetTag(const std::string&) {}

    // check boxes and radio buttons
    virtual bool Checked() const { return false; }
    virtual void SetChecked(bool) {}
    // edit boxes; the edit text of drop-down lists
    virtual std::string Text() const { return {}; }
    virtual void SetText(const std::string&) {}
    // drop-down lists: selected item; check list boxes: selected row (-1 none)
    virtual std::int32_t Index() const { return -1; }
    virtual void SetIndex(std::int32_t) {}
    // drop-down lists, list boxes and check list boxes
    virtual std::vector<std::string> Items() const { return {}; }
    virtual void SetItems(const std::vector<std::string>&) {}
    // list boxes: selected rows; check list boxes: checked rows (zero-based)
    virtual std::vector<std::int32_t> SelectedRows() const { return {}; }
    virtual void SetSelectedRows(const std::vector<std::int32_t>&) {}
    virtual std::vector<std::int32_t> CheckedRows() const { return {}; }
    virtual void SetCheckedRows(const std::vector<std::int32_t>&) {}
    // colour pickers
    virtual std::uint32_t Colour() const { return 0; }
    virtual void SetColour(std::uint32_t) {}
};

// A window's controls in the window's own order.
using FormWindow = std::vector<FormControl*>;
