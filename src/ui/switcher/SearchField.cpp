#include "ui/switcher/SearchField.h"

#include <QInputMethodEvent>
#include <QPalette>

#include "ui/switcher/SwitcherStyle.h"

namespace vantlo {

SearchField::SearchField(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setAutoFillBackground(false);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    colours.setColor(QPalette::Window, Qt::transparent);
    colours.setColor(QPalette::Text, SwitcherStyle::white(0.94));
    colours.setColor(QPalette::PlaceholderText, SwitcherStyle::white(0.42));
    colours.setColor(QPalette::Highlight, SwitcherStyle::accent(0.6));
    colours.setColor(QPalette::HighlightedText, Qt::white);
    setPalette(colours);
    setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; }"));
    setTextMargins(0, 0, 0, 0);
}

void SearchField::setTextSize(double pixelSize) {
    setFont(SwitcherStyle::font(pixelSize, QFont::Medium));
}

void SearchField::inputMethodEvent(QInputMethodEvent* event) {
    hasMarkedText_ = !event->preeditString().isEmpty();
    QLineEdit::inputMethodEvent(event);
}

void SearchField::focusOutEvent(QFocusEvent* event) {
    // Qt commits or drops the composition when focus leaves.
    hasMarkedText_ = false;
    QLineEdit::focusOutEvent(event);
}

}  // namespace vantlo
