#pragma once

#include <QString>
#include <QStyle>
#include <initializer_list>

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// The few kinds of widget every window makes, named after their control (objectName is
// the control name the core and the form-state save find them by). Captions are UTF-8
// literals.
namespace ui {

inline QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <class W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(U(name));
    return widget;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption);
QLineEdit* Edit(QWidget* parent, const char* name, const char* text, int width = 0);
QCheckBox* Check(QWidget* parent, const char* name, const char* caption, bool checked = false);
QRadioButton* Radio(QWidget* parent, const char* name, const char* caption, bool checked = false);
QLabel* Label(QWidget* parent, const char* name, const char* text);
// A link label whose caption the program changes ("保存中.." while saving).
QLabel* Link(QWidget* parent, const char* name, const char* caption);
void SetLinkCaption(QLabel* link, const QString& caption);
// A picture box beside its link: a small clickable image.
QLabel* Picture(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap);
// The widgets side by side, then a stretch unless `stretch` is false.
QHBoxLayout* Row(std::initializer_list<QWidget*> widgets, bool stretch = true);

}  // namespace ui
