// The control operations over the Qt window: the controls are found through the program's
// top-level window, so nothing outside the window holds a pointer to them.
#include <QApplication>

#include "app/controls.h"
#include "app/main_window_qt.h"

namespace vidmora {
namespace {

MainWindowQt* main_window() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = dynamic_cast<MainWindowQt*>(widget)) return window;
    }
    return nullptr;
}

}  // namespace

Text get_text(EditBox box) {
    MainWindowQt* window = main_window();
    return window ? window->edit_box(box)->text_bytes() : Text();
}

void set_text(EditBox box, Text text) {
    if (MainWindowQt* window = main_window()) {
        window->edit_box(box)->set_text_bytes(std::move(text));
    }
}

void set_picture(PictureBox box, const Bytes& bytes) {
    if (MainWindowQt* window = main_window()) window->picture_box(box)->set_picture_bytes(bytes);
}

}  // namespace vidmora
