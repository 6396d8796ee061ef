#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include "app/controls.h"
#include "app/label_qt.h"
#include "tests/app/window_fixture.h"

namespace vidmora::test {
namespace {

struct ControlCase {
    const char* name;
    QRect place;
    const char* text;  // UTF-8; null for controls without a caption
    bool label_font;   // the 19-pixel font of 标签1 and 标签2, else the default GUI font
};

// The window's description, in its order: that order is also the stacking order.
const ControlCase kControls[] = {
    {"标签4", {280, 88, 80, 16}, "点击惊喜", false}, {"标签3", {16, 88, 80, 16}, "下方预览", false},
    {"图片框1", {8, 128, 408, 336}, nullptr, false}, {"标签2", {8, 48, 56, 32}, "封面：", true},
    {"标签1", {8, 8, 48, 40}, "AV号：", true},       {"编辑框2", {64, 40, 296, 32}, "", false},
    {"编辑框1", {64, 8, 152, 32}, "", false},        {"按钮1", {152, 88, 80, 32}, "Go", false},
};

QString caption_of(QWidget* widget) {
    if (auto* label = dynamic_cast<LabelQt*>(widget)) return label->text();
    if (auto* edit = dynamic_cast<QPlainTextEdit*>(widget)) return edit->toPlainText();
    if (auto* button = dynamic_cast<QPushButton*>(widget)) return button->text();
    return {};
}

TEST_F(WindowTest, TitleOuterSizePlaceAndCaptionButtons) {
    EXPECT_EQ(window_->windowTitle().toUtf8().toStdString(), "Vidmora封面提取器v1.0  byQuellan");
    EXPECT_EQ(window_->frameGeometry().size(), QSize(425, 497));
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize());  // the user cannot resize it
    QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window_->frameGeometry().topLeft(),
              QPoint((screen.width() - 425) / 2, (screen.height() - 497) / 2));
    Qt::WindowFlags flags = window_->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST_F(WindowTest, EveryControlHasItsPlaceTextAndFont) {
    const QFont gui_font = QApplication::font();
    for (const auto& c : kControls) {
        SCOPED_TRACE(c.name);
        QWidget* widget = control(c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), c.place);
        EXPECT_TRUE(widget->isVisible());
        EXPECT_TRUE(widget->isEnabled());
        if (c.text) {
            EXPECT_EQ(caption_of(widget).toUtf8().toStdString(), c.text);
        }
        QFont font = widget->font();
        if (c.label_font) {
            EXPECT_EQ(font.pixelSize(), 19);
            EXPECT_EQ(font.weight(), QFont::Normal);
            EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut());
            EXPECT_EQ(font.family(), gui_font.family());
        } else {
            EXPECT_EQ(font, gui_font);
        }
    }
}

TEST_F(WindowTest, StackingFollowsTheDescriptionWithTheFirstOnTop) {
    // Qt keeps siblings bottom to top.
    QStringList bottom_to_top;
    for (QObject* child : window_->children())
        if (child->isWidgetType() && !child->objectName().isEmpty())
            bottom_to_top.prepend(child->objectName());
    QStringList expected;
    for (const auto& c : kControls) expected << QString::fromUtf8(c.name);
    EXPECT_EQ(bottom_to_top, expected);
}

TEST_F(WindowTest, TabVisitsTheEditBoxesAndTheButtonInTheDescriptionsOrder) {
    auto* edit2 = control("编辑框2");
    edit2->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit2->hasFocus(); }));
    QTest::keyClick(edit2, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control("编辑框1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control("按钮1"));
}

int distance(const QColor& a, const QColor& b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())});
}

// The pixel inside `area` that is furthest from the ground: the core of the text's strokes.
QColor strongest_ink(const QImage& image, const QRect& area, const QColor& ground) {
    QColor strongest = ground;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (distance(image.pixelColor(x, y), ground) > distance(strongest, ground))
                strongest = image.pixelColor(x, y);
    return strongest;
}

TEST_F(WindowTest, GrabShowsLabelColoursOnButtonFaceAndWhiteEditBoxes) {
    QImage shot = grab_window();
    const QColor face = button_face();
    // The ground of the window, the labels and the empty preview.
    for (QPoint p : {QPoint(2, 2), QPoint(420, 480), QPoint(9, 9), QPoint(279 + 78, 89),
                     QPoint(10, 130), QPoint(200, 300), QPoint(414, 462)})
        EXPECT_EQ(shot.pixelColor(p).rgb(), face.rgb()) << p.x() << "," << p.y();
    const struct {
        const char* name;
        QColor colour;
    } labels[] = {{"标签1", QColor(0, 0, 255)},
                  {"标签2", QColor(255, 0, 0)},
                  {"标签3", QColor(0, 0, 0)},
                  {"标签4", QColor(0, 0, 0)}};
    for (const auto& label : labels) {
        SCOPED_TRACE(label.name);
        QRect area = control(label.name)->geometry();
        // Anti-aliasing may keep the thin strokes of a small font a little off the full colour.
        QColor ink = strongest_ink(shot, area, face);
        EXPECT_LE(distance(ink, label.colour), 48) << ink.name().toStdString();
        // A single line, vertically centred: the rows at the top and bottom edge stay empty.
        for (int x = area.left(); x <= area.right(); ++x) {
            EXPECT_EQ(shot.pixelColor(x, area.top()).rgb(), face.rgb());
            EXPECT_EQ(shot.pixelColor(x, area.bottom()).rgb(), face.rgb());
        }
    }
    for (const char* name : {"编辑框1", "编辑框2"}) {
        QRect inside = control(name)->geometry().adjusted(4, 4, -4, -4);
        EXPECT_EQ(shot.pixelColor(inside.center()).rgb(), QColor(Qt::white).rgb()) << name;
    }
}

TEST_F(WindowTest, EnterInEditBox1InsertsALineBreak) {
    auto* edit1 = control<QPlainTextEdit>("编辑框1");
    edit1->setFocus();
    QTest::keyClicks(edit1, "12");
    QTest::keyClick(edit1, Qt::Key_Return);
    QTest::keyClicks(edit1, "34");
    EXPECT_EQ(edit1->document()->blockCount(), 2);
    EXPECT_EQ(get_text(EditBox::kEditBox1), "12\r\n34");
}

TEST_F(WindowTest, LongTextsWrapAtTheBoxWidthWithoutScrollBars) {
    auto* edit2 = control<QPlainTextEdit>("编辑框2");
    set_text(EditBox::kEditBox2, "http://" + std::string(200, 'a') + ".jpg");
    QApplication::processEvents();
    EXPECT_GT(edit2->document()->firstBlock().layout()->lineCount(), 1);
    EXPECT_FALSE(edit2->verticalScrollBar()->isVisible());
    EXPECT_FALSE(edit2->horizontalScrollBar()->isVisible());
}

TEST(AppIcon, IsA32PixelGlyphInOneColourOnTransparentGround) {
    QImage icon = app_icon_image().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.size(), QSize(32, 32));
    int opaque = 0, clear = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            QRgb p = icon.pixel(x, y);
            if (qAlpha(p) == 0) {
                ++clear;
                continue;
            }
            opaque += qAlpha(p) == 255;
            ASSERT_EQ(qRgb(qRed(p), qGreen(p), qBlue(p)), qRgb(0, 161, 214)) << x << "," << y;
        }
    }
    EXPECT_GT(opaque, 50);
    EXPECT_GT(clear, 200);
}

TEST_F(WindowTest, WindowCarriesTheIcon) {
    EXPECT_FALSE(window_->windowIcon().isNull());
    EXPECT_TRUE(window_->windowIcon().availableSizes().contains(QSize(32, 32)));
}

}  // namespace
}  // namespace vidmora::test
