// The program's folder holds wininet.so but no gzip.so, and nothing else on the search path
// has one: the window works until the first lookup reaches the decompression, which is fatal.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/controls.h"
#include "app/fatal_box_qt.h"
#include "app/main_window_qt.h"
#include "text/fatal.h"

namespace vidmora::test {
namespace {

// What the user would see and do: read the fatal box, press OK.
void read_and_close_boxes(QTimer& timer) {
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        std::fprintf(stderr, "box \"%s\": %s\n", box->windowTitle().toUtf8().constData(),
                     box->text().toUtf8().constData());
        box->button(QMessageBox::Ok)->click();
    });
    timer.start();
}

void start_and_press_go() {
    set_fatal_reporter(report_fatal_in_box);
    MainWindowQt window;
    window.show_centred();
    if (!QTest::qWaitForWindowExposed(&window)) return;
    set_text(EditBox::kEditBox1, "170001");
    std::fprintf(stderr, "window up\n");
    QTimer closer;
    read_and_close_boxes(closer);
    QTest::mouseClick(window.findChild<QPushButton*>(QString::fromUtf8("按钮1")), Qt::LeftButton);
    std::fprintf(stderr, "lookup returned\n");
}

TEST(WithoutGzipLibrary, FirstGoEndsTheProgramAfterTheFatalBox) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(start_and_press_go(), ::testing::ExitedWithCode(255),
                "window up\n.*box \"错误\": [^\n]*gzip\\.so[^\n]*InitDecompression");
}

}  // namespace
}  // namespace vidmora::test
