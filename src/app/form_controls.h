#pragma once

#include <memory>
#include <vector>

#include "settings/form_control.h"

class QWidget;

// The dynamic property that holds a control's tag text as GBK bytes (a button's tag
// data, or the "禁止保存" / "字节集方式" marks of the form-state save).
inline constexpr char kTagProperty[] = "tagBytes";

// A widget as the form-state operations of the ConfigStore see it: the name is its
// objectName, the state the one its kind keeps (check boxes and radio buttons, edit boxes,
// drop-down lists, list boxes with or without check boxes, buttons with their tag).
// Restoring sets the widget with its signals blocked, as a load is no user's edit.
std::unique_ptr<FormControl> MakeFormControl(QWidget* widget);

// Every named control of a window, in the window's own (creation) order.
class QtFormWindow {
public:
    explicit QtFormWindow(QWidget* window);
    FormWindow& Controls() { return m_controls; }

private:
    std::vector<std::unique_ptr<FormControl>> m_owned;
    FormWindow m_controls;
};
