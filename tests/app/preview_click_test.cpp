#include <QPlainTextEdit>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "app/controls.h"
#include "app/message_box.h"
#include "platform/shell.h"
#include "tests/app/picture_fixtures.h"
#include "tests/app/window_fixture.h"

namespace vidmora::test {
namespace {

namespace fs = std::filesystem;

struct BoxCall {
    WindowHandle owner;
    std::string text;
    std::string title;
    std::uint32_t flags;
};
std::vector<BoxCall> g_box_calls;

int answer_box(WindowHandle owner, std::string_view text, std::string_view title,
               std::uint32_t flags) {
    g_box_calls.push_back({owner, std::string(text), std::string(title), flags});
    return kIdOk;
}

// The preview with the message box answered by the test and an opener in place of xdg-open
// that appends each argument it gets, NUL-terminated, to a file.
class PreviewClickTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        g_box_calls.clear();
        set_message_box_answer(answer_box);
        char pattern[] = "/tmp/vidmora-preview-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        fs::path opener = dir_ / "opener";
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\0' \"$@\" >> '"
                              << (dir_ / "opened").string() << "'\n";
        fs::permissions(opener, fs::perms::owner_all);
        set_shell_program(opener.string());
    }
    void TearDown() override {
        set_shell_program("");
        set_message_box_answer(nullptr);
        fs::remove_all(dir_);
        WindowTest::TearDown();
    }

    void press(Qt::MouseButton button) {
        QTest::mousePress(control("图片框1"), button, Qt::NoModifier, QPoint(20, 30));
    }

    // Waits until the opener has recorded `count` arguments, or gives up after a long while.
    std::vector<std::string> opened(std::size_t count) {
        std::vector<std::string> items;
        for (int i = 0; i < 1000; ++i) {
            std::ifstream in(dir_ / "opened", std::ios::binary);
            std::stringstream all;
            all << in.rdbuf();
            items.clear();
            std::string item;
            while (std::getline(all, item, '\0')) items.push_back(item);
            if (items.size() >= count) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return items;
    }

    fs::path dir_;
};

TEST_F(PreviewClickTest, EmptyAddressBoxShowsTheNoCoverBoxOnThePress) {
    set_picture(PictureBox::kPictureBox1, bitmap_2x2({Qt::red, Qt::red, Qt::red, Qt::red}));
    press(Qt::LeftButton);  // the press alone, no release
    ASSERT_EQ(g_box_calls.size(), 1u);
    EXPECT_EQ(g_box_calls[0].owner, nullptr);
    EXPECT_EQ(g_box_calls[0].text, "亲，目前还没有封面哦！\r\n输入一个AV号试试吧！");
    EXPECT_EQ(g_box_calls[0].title, "不要乱点人家嘛");
    EXPECT_EQ(g_box_calls[0].flags, kMbOk | kMbTaskModal);
    // Nothing else changes.
    EXPECT_EQ(get_text(EditBox::kEditBox2), "");
    EXPECT_TRUE(control<PictureBoxQt>("图片框1")->has_picture());
}

TEST_F(PreviewClickTest, AnyTextInTheAddressBoxGoesToTheShellUnchanged) {
    const struct {
        const char* name;
        Text text;
        bool typed;
    } cases[] = {
        {"failed lookup", "http://", false},
        {"cover address", "http://i0.example.com/u/cover.jpg", false},
        {"only a line break", "\r\n", false},
        {"typed by the user", "http://typed/a b.png", true},
    };
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.typed) {
            auto* edit2 = control<QPlainTextEdit>("编辑框2");
            edit2->clear();
            edit2->setFocus();
            QTest::keyClicks(edit2, QString::fromUtf8(c.text.c_str()));
        } else {
            set_text(EditBox::kEditBox2, c.text);
        }
        press(Qt::LeftButton);
        expected.push_back(c.text);
        // One opener at a time, so that their records come in order.
        EXPECT_EQ(opened(expected.size()), expected);
    }
    EXPECT_TRUE(g_box_calls.empty());
}

TEST_F(PreviewClickTest, RightButtonDoesNothing) {
    press(Qt::RightButton);
    EXPECT_TRUE(g_box_calls.empty());
    set_text(EditBox::kEditBox2, "http://right");
    press(Qt::RightButton);
    set_text(EditBox::kEditBox2, "http://left");
    press(Qt::LeftButton);
    // Had the right button opened anything, it would have been recorded first.
    EXPECT_EQ(opened(1), std::vector<std::string>{"http://left"});
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(opened(1), std::vector<std::string>{"http://left"});
}

TEST_F(WindowTest, OwnerLookupFindsOnlyAWindowWithThatTitle) {
    EXPECT_EQ(find_top_level_window("Microsoft Internet Explorer"), nullptr);
    QWidget browser;
    browser.setWindowTitle("Microsoft Internet Explorer");
    EXPECT_EQ(find_top_level_window("Microsoft Internet Explorer"), &browser);
    EXPECT_EQ(find_top_level_window("Vidmora封面提取器v1.0  byQuellan"), window_.get());
    EXPECT_EQ(find_top_level_window("Microsoft Internet"), nullptr);
}

}  // namespace
}  // namespace vidmora::test
