// The window with the page address that the test program was built with, for the whole lookup
// behind the "Go" button.
#pragma once

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <chrono>

#include "app/controls.h"
#include "app/main_window_qt.h"
#include "app/picture_box_qt.h"
#include "tests/app/window_fixture.h"

namespace vidmora::test {

// The window, with whatever serves the page address that the test program was built with.
class LookupWindowTest : public WindowTest {
  protected:
    // Types `number` into 编辑框1 and clicks "Go"; gives how long the click took.
    std::chrono::milliseconds look_up(const Text& number) {
        set_text(EditBox::kEditBox1, number);
        const auto start = std::chrono::steady_clock::now();
        QTest::mouseClick(control<QPushButton>("按钮1"), Qt::LeftButton);
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
    }

    PictureBoxQt* preview() const { return control<PictureBoxQt>("图片框1"); }
};

}  // namespace vidmora::test
