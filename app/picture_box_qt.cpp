#include "app/picture_box_qt.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/preview_click.h"
#include "platform/picture/picture.h"

namespace vidmora {
namespace {

// Frames that ask for no delay at all would spin the loop; browsers show them for 100 ms.
constexpr int kShortestDelayMs = 20;
constexpr int kDelayForNoDelayMs = 100;

int frame_delay(std::int32_t delay_ms) {
    if (delay_ms <= 10) return kDelayForNoDelayMs;
    return delay_ms < kShortestDelayMs ? kShortestDelayMs : delay_ms;
}

// The key state as the preview's handler takes it: Ctrl 1, Shift 2, Alt 4.
std::int32_t key_state(Qt::KeyboardModifiers modifiers) {
    std::int32_t keys = 0;
    if (modifiers & Qt::ControlModifier) keys |= 1;
    if (modifiers & Qt::ShiftModifier) keys |= 2;
    if (modifiers & Qt::AltModifier) keys |= 4;
    return keys;
}

}  // namespace

PictureBoxQt::PictureBoxQt(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    animation_.setSingleShot(true);
    connect(&animation_, &QTimer::timeout, this, [this] { show_next_frame(); });
}

void PictureBoxQt::set_picture_bytes(const Bytes& bytes) {
    bytes_ = bytes;
    animation_.stop();
    frames_.clear();
    delays_ms_.clear();
    current_ = 0;
    if (!bytes_.empty()) {
        Picture picture = decode_picture(bytes_);
        for (const PictureFrame& frame : picture.frames) {
            if (frame.width <= 0 || frame.height <= 0 ||
                frame.rgba.size() != static_cast<std::size_t>(frame.width) * frame.height * 4)
                continue;
            QImage image(frame.rgba.data(), frame.width, frame.height, frame.width * 4,
                         QImage::Format_RGBA8888);
            frames_.push_back(image.copy());  // the decoder's buffer goes away with `picture`
            delays_ms_.push_back(frame_delay(frame.delay_ms));
        }
        if (frames_.size() > 1) animation_.start(delays_ms_[0]);
    }
    update();
}

void PictureBoxQt::show_next_frame() {
    if (frames_.size() < 2) return;
    current_ = (current_ + 1) % static_cast<int>(frames_.size());
    update();
    animation_.start(delays_ms_[current_]);
}

void PictureBoxQt::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (frames_.empty()) return;
    // Stretched: width and height scale independently to the whole box.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), frames_[current_]);
}

void PictureBoxQt::mousePressEvent(QMouseEvent* event) {
    // On the press, not the release; other buttons do nothing.
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    QPoint at = event->position().toPoint();
    preview_click(at.x(), at.y(), key_state(event->modifiers()));
}

}  // namespace vidmora
