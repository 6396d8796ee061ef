// The main window: a fixed 425 x 497 window, centred on the primary screen, with its eight
// controls. The handlers reach it only through controls.h.
#pragma once

#include <QPushButton>
#include <QWidget>

#include "app/controls.h"
#include "app/edit_box_qt.h"
#include "app/picture_box_qt.h"

namespace vidmora {

class MainWindowQt : public QWidget {
  public:
    static constexpr int kOuterWidth = 425;
    static constexpr int kOuterHeight = 497;

    MainWindowQt();

    // Shows the window with its outer size and place as start-up wants them.
    void show_centred();

    EditBoxQt* edit_box(EditBox box) const;
    PictureBoxQt* picture_box(PictureBox box) const;

  protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    void fit_outer_size();

    EditBoxQt* edit_box1_ = nullptr;
    EditBoxQt* edit_box2_ = nullptr;
    PictureBoxQt* picture_box1_ = nullptr;
    QPushButton* button1_ = nullptr;
};

// The 32 x 32 icon: a glyph in RGB (0, 161, 214) on a transparent ground.
QImage app_icon_image();

}  // namespace vidmora
