#include "app/qt_tool_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include "app/qt_text.h"
#include "settings/text_request.h"

QWidget* QtToolView::Find(const std::string& control) const {
    return m_window->findChild<QWidget*>(Q(control));
}

std::string QtToolView::Text(const std::string& control) const {
    QWidget* widget = Find(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return G(edit->text());
    // The box's lines end in LF; in the system they end in CR LF.
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
        return text_request::FromBoxLines(G(box->toPlainText()));
    return {};
}

void QtToolView::SetText(const std::string& control, const std::string& text) {
    QWidget* widget = Find(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(Q(text));
    else if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
        box->setPlainText(Q(text_request::ToBoxLines(text)));
}

bool QtToolView::Checked(const std::string& control) const {
    auto* button = qobject_cast<QAbstractButton*>(Find(control));
    return button && button->isChecked();
}

void QtToolView::SetEnabled(const std::string& control, bool on) {
    if (QWidget* widget = Find(control)) widget->setEnabled(on);
}

std::string QtToolView::Caption(const std::string& button) const {
    auto* widget = qobject_cast<QAbstractButton*>(Find(button));
    return widget ? G(widget->text()) : std::string();
}

void QtToolView::SetCaption(const std::string& button, const std::string& caption) {
    if (auto* widget = qobject_cast<QAbstractButton*>(Find(button))) widget->setText(Q(caption));
}

std::string QtToolView::ClipboardText() const {
    return text_request::FromBoxLines(G(QApplication::clipboard()->text()));
}

void QtToolView::SetClipboardText(const std::string& text) {
    QApplication::clipboard()->setText(Q(text_request::ToBoxLines(text)));
}

void QtToolView::PumpEvents() {
    QCoreApplication::processEvents();
}
