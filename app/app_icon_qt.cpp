#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include "app/main_window_qt.h"

namespace vidmora {

// A picture frame with a play mark: a video's cover. Drawn as a coverage mask first and then
// given the one colour, so that the anti-aliased edge pixels keep exactly RGB (0, 161, 214)
// and differ only in alpha.
QImage app_icon_image() {
    QImage mask(32, 32, QImage::Format_ARGB32);
    mask.fill(Qt::transparent);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::white, 2.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(2.25, 5.25, 27.5, 21.5), 4, 4);
        QPainterPath play;
        play.moveTo(12.5, 10.5);
        play.lineTo(12.5, 21.5);
        play.lineTo(22, 16);
        play.closeSubpath();
        painter.fillPath(play, Qt::white);
    }
    QImage icon(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            int alpha = qAlpha(mask.pixel(x, y));
            icon.setPixel(x, y, alpha ? qRgba(0, 161, 214, alpha) : qRgba(0, 0, 0, 0));
        }
    }
    return icon;
}

}  // namespace vidmora
