#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <string>

#include "app/fatal_box_qt.h"
#include "app/message_box.h"
#include "text/fatal.h"

namespace vidmora::test {
namespace {

struct SeenBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    Qt::WindowModality modality = Qt::NonModal;
    bool has_owner = true;
    int buttons = 0;
};

// Runs `open_box`, and when its box is up reads it and presses OK, as a user would.
template <typename Open>
SeenBox read_and_close_the_box(Open open_box) {
    SeenBox seen;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        timer.stop();
        seen = {box->icon(),
                box->windowTitle(),
                box->text(),
                box->windowModality(),
                box->parentWidget() != nullptr,
                static_cast<int>(box->buttons().size())};
        box->button(QMessageBox::Ok)->click();
    });
    timer.start();
    open_box();
    return seen;
}

TEST(MessageBoxQt, NoCoverBoxIsTaskModalWithoutIconAndWithTwoLines) {
    int answer = 0;
    SeenBox seen = read_and_close_the_box([&] {
        answer = show_message_box(nullptr, "亲，目前还没有封面哦！\r\n输入一个AV号试试吧！",
                                  "不要乱点人家嘛", kMbOk | kMbTaskModal);
    });
    EXPECT_EQ(answer, kIdOk);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.title, QString::fromUtf8("不要乱点人家嘛"));
    EXPECT_EQ(seen.text, QString::fromUtf8("亲，目前还没有封面哦！\n输入一个AV号试试吧！"));
    EXPECT_EQ(seen.modality, Qt::ApplicationModal);
    EXPECT_FALSE(seen.has_owner);
    EXPECT_EQ(seen.buttons, 1);
}

TEST(FatalBoxQt, ShowsTheMessageUnderErrorWithTheErrorIconAndNoOwner) {
    SeenBox seen = read_and_close_the_box([] { report_fatal_in_box("分配 1024 字节内存失败!"); });
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.title, QString::fromUtf8("错误"));
    EXPECT_EQ(seen.text, QString::fromUtf8("分配 1024 字节内存失败!"));
    EXPECT_FALSE(seen.has_owner);
    EXPECT_EQ(seen.buttons, 1);
}

int answer_on_stderr(WindowHandle, std::string_view text, std::string_view title,
                     std::uint32_t flags) {
    std::fprintf(stderr, "box [%.*s] flags %u: %.*s\n", static_cast<int>(title.size()),
                 title.data(), flags, static_cast<int>(text.size()), text.data());
    return kIdOk;
}

TEST(FatalBoxQtDeathTest, FatalErrorShowsTheBoxThenEndsWithMinusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            set_message_box_answer(answer_on_stderr);
            set_fatal_reporter(report_fatal_in_box);
            fatal_error("载入启动窗口失败");
        },
        ::testing::ExitedWithCode(255), "box \\[错误\\] flags 16: 载入启动窗口失败");
}

}  // namespace
}  // namespace vidmora::test
