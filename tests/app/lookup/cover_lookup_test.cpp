// The whole lookup, from the number in 编辑框1 to the address in 编辑框2 and the preview, against
// the sample site on loopback.
#include <QImage>
#include <algorithm>

#include "tests/app/lookup/lookup_fixture.h"
#include "tools/sample-site/site_covers.h"
#include "tools/sample-site/site_pages.h"

namespace vidmora::test {
namespace {

using namespace std::chrono_literals;
using sample_site::Resource;

const std::string kLeft = "<img src=\"http://";
const std::string kRight = "\" style=\"display:none;\" class=\"cover_image\"/>";

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue()) <
           60;
}

// Every cover the preview knows is shown stretched over the whole box: the white "play" mark
// of the sample covers at the box's centre and their dark frame in all four corners.
TEST_F(LookupTest, FoundCoverShowsItsAddressAndItsPictureStretched) {
    for (const char* number : {"170001", "170002", "170003", "170004"}) {
        SCOPED_TRACE(number);
        look_up(number);
        const auto& known =
            *std::find_if(sample_site::known_videos().begin(), sample_site::known_videos().end(),
                          [&](const auto& video) { return video.number == std::string(number); });
        EXPECT_EQ(get_text(EditBox::kEditBox2), "http://" + site_address(known.cover_path));
        ASSERT_TRUE(preview()->has_picture());
        const QImage shown = grab_preview();
        EXPECT_TRUE(near(shown.pixelColor(204, 168), Qt::white));
        for (QPoint corner : {QPoint(1, 1), QPoint(406, 1), QPoint(1, 334), QPoint(406, 334)}) {
            EXPECT_LT(shown.pixelColor(corner).lightness(), 40) << corner.x() << "," << corner.y();
        }
    }
}

// The page request and the image request, header for header, as the site received them.
TEST_F(LookupTest, SiteReceivesThePageRequestAndTheImageRequest) {
    look_up("170001");
    const auto requests = site_.requests();
    ASSERT_EQ(requests.size(), 2u);

    using Headers = std::vector<std::pair<std::string, std::string>>;
    auto sorted = [](Headers headers) {
        std::sort(headers.begin(), headers.end());
        return headers;
    };
    const auto& page = requests[0];
    EXPECT_EQ(page.method + " " + page.path + " " + page.version, "GET /video/170001 HTTP/1.1");
    EXPECT_EQ(sorted(page.headers),
              sorted({{"Host", site_.host()},
                      {"User-Agent", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"},
                      {"Accept", "*/*"},
                      {"Referer", "http://" + site_address("/video/170001")},
                      {"Accept-Language", "zh-cn"},
                      {"Content-Type", "application/x-www-form-urlencoded"}}));

    const auto& image = requests[1];
    EXPECT_EQ(image.method + " " + image.path + " " + image.version,
              "GET /cover/170001.jpg HTTP/1.0");
    EXPECT_EQ(sorted(image.headers),
              sorted({{"Host", site_.host()},
                      {"User-Agent", "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"},
                      {"Accept", "*/*"}}));
}

// Pages that yield no cover address: 编辑框2 ends with "http://" alone and the preview empty.
// Each page is served under a number of its own.
TEST_F(LookupTest, PagesWithoutAUsableMarkerGiveTheSchemeAlone) {
    const std::string cover = site_address("/cover/170001.jpg");
    const std::string page = "<html><body>" + kLeft + cover + kRight + "</body></html>";
    const struct {
        const char* name;
        Resource resource;
    } cases[] = {
        {"uncompressed page with the markers", {page, "text/html", ""}},
        {"no left marker",
         {sample_site::gzip("<p>" + cover + kRight + "</p>"), "text/html", "gzip"}},
        {"left marker only",
         {sample_site::gzip("<p>" + kLeft + cover + "</p>"), "text/html", "gzip"}},
        {"right marker only before the left",
         {sample_site::gzip(kRight + "<p>" + kLeft + cover), "text/html", "gzip"}},
        {"markers in upper case",
         {sample_site::gzip("<IMG SRC=\"HTTP://" + cover +
                            "\" STYLE=\"DISPLAY:NONE;\" CLASS=\"COVER_IMAGE\"/>"),
          "text/html", "gzip"}},
        {"zero byte before the markers",
         {sample_site::gzip(std::string("<html>\0", 7) + page), "text/html", "gzip"}},
        {"not gzip, not html", {std::string("\x1F\x8B\x08garbage", 11), "text/html", "gzip"}},
    };
    int number = 900001;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        set_picture(PictureBox::kPictureBox1, {});
        site_.put("/video/" + std::to_string(number), c.resource);
        look_up(std::to_string(number++));
        EXPECT_EQ(get_text(EditBox::kEditBox2), "http://");
        EXPECT_FALSE(preview()->has_picture());
    }
}

TEST_F(LookupTest, PngCoverShowsItsAddressButNoPicture) {
    look_up("170005");
    EXPECT_EQ(get_text(EditBox::kEditBox2), "http://" + site_address("/cover/170005.png"));
    EXPECT_FALSE(preview()->has_picture());
    const auto requests = site_.requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().path, "/cover/170005.png");  // fetched all the same
}

TEST_F(LookupTest, FirstOfTwoCoversCountsAndItsBytesAreTakenAsTheyStand) {
    // GBK and a blank inside the address: cut out byte for byte, not checked, not escaped.
    const std::string first = site_address("/cover/170003.bmp?t=\xB7\xE2\xC3\xE6 1");
    const std::string page =
        "<p>" + kLeft + first + kRight + kLeft + site_address("/cover/170001.jpg") + kRight;
    site_.put("/video/900100", {sample_site::gzip(page), "text/html", "gzip"});
    look_up("900100");
    EXPECT_EQ(get_text(EditBox::kEditBox2), "http://" + first);
}

TEST_F(LookupTest, NumberIsUsedAsTyped) {
    const struct {
        Text typed;
        std::string path;
    } cases[] = {
        {"", "/video/"},  // an empty box still sends a request, to the prefix alone
        {"av17", "/video/av17"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const std::size_t before = site_.requests().size();
        look_up(c.typed);
        const auto requests = site_.requests();
        ASSERT_GT(requests.size(), before);
        EXPECT_EQ(requests[before].path, c.path);
        EXPECT_EQ(get_text(EditBox::kEditBox2), "http://");
    }
}

TEST_F(LookupTest, PictureOfAnEarlierRunNeverSurvivesALaterOne) {
    look_up("170001");
    ASSERT_TRUE(preview()->has_picture());
    look_up("424242");  // a page without a cover
    EXPECT_EQ(get_text(EditBox::kEditBox2), "http://");
    EXPECT_FALSE(preview()->has_picture());
}

// The pause holds the window for 2000 ms on every click, also when the fetch fails at once.
TEST_F(LookupTest, NoServerListeningStillPausesAndShowsTheSchemeAlone) {
    site_.stop();
    const std::string earlier = sample_site::bmp_cover(40, 30);
    set_picture(PictureBox::kPictureBox1, Bytes(earlier.begin(), earlier.end()));
    ASSERT_TRUE(preview()->has_picture());
    const auto took = look_up("170001");
    EXPECT_GE(took, 2000ms);
    EXPECT_EQ(get_text(EditBox::kEditBox2), "http://");
    EXPECT_FALSE(preview()->has_picture());
}

}  // namespace
}  // namespace vidmora::test
