// The preview: paints the button face and, over the whole box, the picture stretched to fit.
// A picture of several frames plays as an animation on the window's own thread.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "text/text.h"

namespace vidmora {

class PictureBoxQt : public QWidget {
  public:
    explicit PictureBoxQt(QWidget* parent);

    void set_picture_bytes(const Bytes& bytes);
    bool has_picture() const { return !frames_.empty(); }
    const Bytes& picture_bytes() const { return bytes_; }
    int current_frame() const { return current_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void show_next_frame();

    Bytes bytes_;  // the picture data as given
    std::vector<QImage> frames_;
    std::vector<int> delays_ms_;
    int current_ = 0;
    QTimer animation_;
};

}  // namespace vidmora
