#include "app/controls.h"
#include "app/picture_box_qt.h"
#include "tests/app/picture_fixtures.h"
#include "tests/app/window_fixture.h"

namespace vidmora::test {
namespace {

const Quadrants kColours = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255),
                            QColor(255, 255, 0)};

bool near(const QColor& a, const QColor& b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// Points well inside each quarter of the 408 x 336 box, and right at its four corners.
struct Sample {
    QPoint at;
    int quadrant;
};
const Sample kSamples[] = {
    {{102, 84}, 0}, {{306, 84}, 1}, {{102, 252}, 2}, {{306, 252}, 3},
    {{0, 0}, 0},    {{407, 0}, 1},  {{0, 335}, 2},   {{407, 335}, 3},
};

TEST_F(WindowTest, EveryKnownFormatIsDrawnStretchedOverTheWholeBox) {
    const Quadrants checker = {QColor(255, 255, 255), QColor(0, 0, 0), QColor(0, 0, 0),
                               QColor(255, 255, 255)};
    const struct {
        const char* name;
        Bytes bytes;
        Quadrants expected;
        int tolerance;
    } cases[] = {
        {"bitmap", bitmap_2x2(kColours), kColours, 0},
        {"JPEG 160 x 100", jpeg(160, 100, kColours), kColours, 12},
        {"icon", icon_2x2(kColours, false), kColours, 0},
        {"cursor", icon_2x2(kColours, true), kColours, 0},
        {"PCX 8-bit", pcx8_2x2(kColours), kColours, 0},
        {"PCX 1-bit", pcx1_2x2_checker(), checker, 0},
    };
    auto* box = control<PictureBoxQt>("图片框1");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        set_picture(PictureBox::kPictureBox1, c.bytes);
        ASSERT_TRUE(box->has_picture());
        QImage shot = grab_preview();
        ASSERT_EQ(shot.size(), QSize(408, 336));
        for (const auto& s : kSamples) {
            QColor seen = shot.pixelColor(s.at);
            EXPECT_TRUE(near(seen, c.expected[s.quadrant], c.tolerance))
                << s.at.x() << "," << s.at.y() << " is " << seen.name().toStdString();
        }
    }
}

TEST_F(WindowTest, BytesWithoutAPictureLeaveTheBoxEmpty) {
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"PNG", png_2x2(kColours)},
        {"5 bytes of a JPEG", Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x00}},
        {"damaged JPEG",
         [] {
             Bytes b = jpeg(160, 100, kColours);
             b.resize(40);
             return b;
         }()},
    };
    auto* box = control<PictureBoxQt>("图片框1");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        set_picture(PictureBox::kPictureBox1, bitmap_2x2(kColours));
        ASSERT_TRUE(box->has_picture());
        set_picture(PictureBox::kPictureBox1, c.bytes);
        EXPECT_FALSE(box->has_picture());
        EXPECT_EQ(box->picture_bytes(), c.bytes);
        QImage shot = grab_preview();
        for (const auto& s : kSamples)
            EXPECT_EQ(shot.pixelColor(s.at).rgb(), button_face().rgb())
                << s.at.x() << "," << s.at.y();
    }
}

TEST_F(WindowTest, TwoFrameGifShowsItsSecondFrameAfterTheDelay) {
    auto* box = control<PictureBoxQt>("图片框1");
    set_picture(PictureBox::kPictureBox1, gif_two_frames(QColor(255, 0, 0), QColor(0, 0, 255), 20));
    ASSERT_TRUE(box->has_picture());
    EXPECT_EQ(grab_preview().pixelColor(200, 160).rgb(), QColor(255, 0, 0).rgb());
    // The loop plays the animation while it is idle.
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->current_frame() == 1; }, 5000));
    EXPECT_EQ(grab_preview().pixelColor(200, 160).rgb(), QColor(0, 0, 255).rgb());
    EXPECT_EQ(grab_preview().pixelColor(407, 335).rgb(), QColor(0, 0, 255).rgb());
    // It loops back to the first frame.
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->current_frame() == 0; }, 5000));
    // A new picture ends the animation.
    set_picture(PictureBox::kPictureBox1, {});
    EXPECT_FALSE(box->has_picture());
    QTest::qWait(300);
    EXPECT_EQ(grab_preview().pixelColor(200, 160).rgb(), button_face().rgb());
}

}  // namespace
}  // namespace vidmora::test
