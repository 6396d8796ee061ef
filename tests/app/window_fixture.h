// A shown main window for each test, gone again after it.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <memory>

#include "app/main_window_qt.h"

namespace vidmora::test {

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = std::make_unique<MainWindowQt>();
        window_->show_centred();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override { window_.reset(); }

    template <typename T = QWidget>
    T* control(const char* name) const {
        auto* found = window_->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QImage grab_window() const { return window_->grab().toImage(); }
    QImage grab_preview() const { return control("图片框1")->grab().toImage(); }
    QColor button_face() const { return window_->palette().color(QPalette::Button); }

    std::unique_ptr<MainWindowQt> window_;
};

}  // namespace vidmora::test
