// A label that paints itself: button-face fill, then its text on one line, left-aligned and
// vertically centred, clipped only by the label's own bounds.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace vidmora {

class LabelQt : public QWidget {
  public:
    LabelQt(const QString& text, const QColor& text_colour, QWidget* parent);

    const QString& text() const { return text_; }
    const QColor& text_colour() const { return text_colour_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
    QColor text_colour_;
};

}  // namespace vidmora
