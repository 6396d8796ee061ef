// Writes the window's icon as a PNG file for the desktop entry, so that both show one image.
#include <QImage>

#include <cstdio>

#include "app/main_window_qt.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    return vidmora::app_icon_image().save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
