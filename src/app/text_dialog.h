#pragma once

#include <QWidget>

#include "settings/text_request.h"

// The reusable modal window that asks for, or shows, a block of multi-line text.
//
// Opens the window modally over owner (none: over nothing) and waits until it closes. The
// result holds ok = true and the box's text, with CR LF line ends, only after 确定. Returns
// {false, ""} at once when the window is already open: there is only ever one.
TextResult AskText(const TextRequest& request, QWidget* owner);

// Object names of the window and its controls, for the tests and the screenshots.
namespace text_dialog {
inline constexpr char kWindowName[] = "AskText";
}
