#include <QApplication>
#include <QPlainTextEdit>

#include "app/controls.h"
#include "tests/app/window_fixture.h"

namespace vidmora::test {
namespace {

// "第一行" and "第二行" in GBK.
const Text kLine1 = "\xB5\xDA\xD2\xBB\xD0\xD0";
const Text kLine2 = "\xB5\xDA\xB6\xFE\xD0\xD0";

// About 500 KB of page text: ASCII markup, GBK characters, CR LF and lone LF line breaks, and
// bytes that are not GBK at all.
Text big_page() {
    Text page;
    const Text piece = "<div class=\"t\">" + kLine1 + "</div>\r\n<img src=\"http://a/b.jpg\"/>\n" +
                       kLine2 + " \xFF\x80\xA1 \r\n";
    while (page.size() < 500 * 1024) page += piece;
    return page;
}

TEST_F(WindowTest, SetTextThenGetTextGivesBackTheExactBytes) {
    const struct {
        const char* name;
        Text text;
    } cases[] = {
        {"empty", ""},
        {"GBK with CR LF", kLine1 + "\r\n" + kLine2},
        {"lone LF and lone CR", "a\nb\rc\r\n"},
        {"not GBK", "\xFF\xFE\x80 tail \x81"},
        {"500 KB page", big_page()},
    };
    for (EditBox box : {EditBox::kEditBox1, EditBox::kEditBox2}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            set_text(box, c.text);
            EXPECT_TRUE(get_text(box) == c.text);  // no diff of 500 KB in the output
        }
    }
}

TEST_F(WindowTest, SetTextShowsGbkAsCharactersAndEndsAtNul) {
    auto* edit2 = control<QPlainTextEdit>("编辑框2");
    set_text(EditBox::kEditBox2, kLine1 + "\r\n" + kLine2);
    QApplication::processEvents();
    EXPECT_EQ(edit2->toPlainText(), QString::fromUtf8("第一行\n第二行"));
    set_text(EditBox::kEditBox2, Text("ab\0cd", 5));
    EXPECT_EQ(get_text(EditBox::kEditBox2), "ab");
    QApplication::processEvents();
    EXPECT_EQ(edit2->toPlainText(), "ab");
}

// A handler sets a whole page and replaces it by the address before the loop runs again: the
// screen only ever lays out what is left at the end, and the box reads back what was set.
TEST_F(WindowTest, TextReplacedBeforeTheLoopRunsIsNeverLaidOut) {
    auto* edit2 = control<QPlainTextEdit>("编辑框2");
    int changes = 0;
    QObject::connect(edit2, &QPlainTextEdit::textChanged, [&changes] { ++changes; });
    set_text(EditBox::kEditBox2, std::string(4 << 20, 'x'));
    EXPECT_EQ(get_text(EditBox::kEditBox2).size(), 4u << 20);
    set_text(EditBox::kEditBox2, "http://a/b.jpg");
    EXPECT_EQ(get_text(EditBox::kEditBox2), "http://a/b.jpg");
    QApplication::processEvents();
    EXPECT_EQ(edit2->toPlainText(), "http://a/b.jpg");
    EXPECT_EQ(changes, 1);
}

TEST_F(WindowTest, AfterTheUserEditsTheBoxItsTextIsEncodedToGbkWithCrLf) {
    auto* edit2 = control<QPlainTextEdit>("编辑框2");
    set_text(EditBox::kEditBox2, kLine1 + "\n" + kLine2);
    QApplication::processEvents();  // the user acts on what the loop has shown
    edit2->setFocus();
    edit2->moveCursor(QTextCursor::End);
    QTest::keyClicks(edit2, "x");
    EXPECT_EQ(get_text(EditBox::kEditBox2), kLine1 + "\r\n" + kLine2 + "x");
    edit2->clear();
    EXPECT_EQ(get_text(EditBox::kEditBox2), "");
}

TEST(ControlsWithoutWindow, ReadEmptyAndIgnoreWrites) {
    set_text(EditBox::kEditBox1, "123");
    set_picture(PictureBox::kPictureBox1, Bytes{1, 2, 3});
    EXPECT_EQ(get_text(EditBox::kEditBox1), "");
}

}  // namespace
}  // namespace vidmora::test
