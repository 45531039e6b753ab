#include "app/widget_factory.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace ui {

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    return Named(new QPushButton(U(caption), parent), name);
}

QLineEdit* Edit(QWidget* parent, const char* name, const char* text, int width) {
    auto* edit = Named(new QLineEdit(U(text), parent), name);
    if (width > 0) edit->setFixedWidth(width);
    return edit;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* caption, bool checked) {
    auto* box = Named(new QCheckBox(U(caption), parent), name);
    box->setChecked(checked);
    return box;
}

QRadioButton* Radio(QWidget* parent, const char* name, const char* caption, bool checked) {
    auto* radio = Named(new QRadioButton(U(caption), parent), name);
    radio->setChecked(checked);
    return radio;
}

QLabel* Label(QWidget* parent, const char* name, const char* text) {
    return Named(new QLabel(U(text), parent), name);
}

void SetLinkCaption(QLabel* link, const QString& caption) {
    link->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(caption.toHtmlEscaped()));
}

QLabel* Link(QWidget* parent, const char* name, const char* caption) {
    auto* link = Named(new QLabel(parent), name);
    SetLinkCaption(link, U(caption));
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    return link;
}

QLabel* Picture(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap) {
    auto* picture = Named(new QLabel(parent), name);
    picture->setPixmap(parent->style()->standardIcon(pixmap).pixmap(16, 16));
    picture->setCursor(Qt::PointingHandCursor);
    return picture;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets, bool stretch) {
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets) row->addWidget(widget);
    if (stretch) row->addStretch(1);
    return row;
}

}  // namespace ui
