#include "app/label_qt.h"

#include <QPainter>

namespace vidmora {

LabelQt::LabelQt(const QString& text, const QColor& text_colour, QWidget* parent)
    : QWidget(parent), text_(text), text_colour_(text_colour) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LabelQt::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (text_.isEmpty()) return;
    painter.setFont(font());
    painter.setPen(text_colour_);
    // TextDontClip: a text wider than the label runs to the label's edge, where the widget's
    // own bounds cut it, not at the text rectangle.
    painter.drawText(
        rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip, text_);
}

}  // namespace vidmora
