// The whole lookup against page and cover servers that stall, break off, lie, or send bombs.
// Every run ends within the network limits plus the pause, 编辑框2 holds either the cover's
// address or "http://" alone, and the preview shows a picture only for a real one. Each test
// prints how long the click took.
#include <sys/resource.h>

#include <functional>
#include <iostream>
#include <string>

#include "tests/app/lookup/lookup_window_fixture.h"
#include "tests/platform/gzip/zlib_reference.h"
#include "tests/platform/wininet/hostile_server.h"
#include "tools/sample-site/site_covers.h"
#include "tools/sample-site/site_pages.h"

namespace vidmora::test {
namespace {

using namespace std::chrono_literals;
using testing::HostileConnection;
using testing::HostileServer;

constexpr auto kPause = 2s;
// A request given up by the client's 30 s limit, with room for a loaded machine.
constexpr auto kGivenUpWithin = kPause + 30s + 30s;
constexpr auto kEndedWithin = kPause + 10s;

std::string answer(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// The page of a video whose cover is at `cover` (an address without "http://"), gzip'd.
std::string page_naming(const std::string& cover) {
    return sample_site::gzip(sample_site::video_page("170001", cover));
}

// Answers the first request with `response` and closes.
HostileServer::Script serve(std::string response) {
    return [response = std::move(response)](HostileConnection& c) {
        if (!c.read_request().empty()) c.send(response);
    };
}

// Writes `value` over the picture's size fields, each `width` bytes wide at its offset.
std::string with_size_fields(std::string picture, std::initializer_list<std::size_t> offsets,
                             int width, bool big_endian, std::uint32_t value) {
    for (std::size_t offset : offsets)
        for (int i = 0; i < width; ++i) {
            const int shift = 8 * (big_endian ? width - 1 - i : i);
            picture[offset + i] = static_cast<char>(value >> shift);
        }
    return picture;
}

// A JPEG's frame header holds its height and width, big-endian, 5 and 7 bytes after its marker.
std::string jpeg_claiming(std::uint16_t side) {
    std::string jpeg = sample_site::jpeg_cover(16, 16);
    const std::size_t frame = jpeg.find("\xff\xc0");
    return with_size_fields(jpeg, {frame + 5, frame + 7}, 2, true, side);
}

enum class Shows { kSchemeAlone, kAddressOnly, kAddressAndPicture };

struct LookupCase {
    const char* name;
    // The page server's script, given the cover's address (without "http://").
    std::function<HostileServer::Script(const std::string& cover)> page;
    HostileServer::Script cover;
    Shows shows;
    std::chrono::seconds within;
};

const std::vector<LookupCase>& lookup_cases() {
    const HostileServer::Script never_answers = [](HostileConnection& c) {
        c.read_request();
        c.hold();
    };

    // Pages that never yield an address.
    auto page_never_answers = [never_answers](const std::string&) { return never_answers; };
    auto page_drips = [](const std::string& cover) -> HostileServer::Script {
        return [response = answer(page_naming(cover))](HostileConnection& c) {
            c.read_request();
            c.drip(response, 1s);
        };
    };
    auto page_resets = [](const std::string&) -> HostileServer::Script {
        return [](HostileConnection& c) {
            c.read_request();
            c.send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n\x1f\x8b");
            c.reset();
        };
    };
    auto page_announces_less = [](const std::string& cover) -> HostileServer::Script {
        return [page = page_naming(cover)](HostileConnection& c) {
            c.read_request();
            if (c.send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n" + page)) c.hold();
        };
    };
    auto page_redirects_to_itself = [](const std::string&) -> HostileServer::Script {
        return [](HostileConnection& c) {
            while (!c.read_request().empty())
                if (!c.send("HTTP/1.1 302 Found\r\nLocation: /video/170001\r\n"
                            "Content-Length: 0\r\n\r\n"))
                    return;
        };
    };
    auto page_with_megabyte_of_headers = [](const std::string& cover) -> HostileServer::Script {
        return [page = page_naming(cover)](HostileConnection& c) {
            c.read_request();
            std::string block = "HTTP/1.1 200 OK\r\n";
            for (int i = 0; block.size() < (1 << 20); ++i)
                block += "X-Filler-" + std::to_string(i) + ": " + std::string(1000, 'f') + "\r\n";
            if (c.send(block + "Content-Length: " + std::to_string(page.size()) + "\r\n\r\n" +
                       page))
                c.hold();
        };
    };
    // The page is whole even though it arrives cut short of its announced length.
    auto page_cut_short = [](const std::string& cover) -> HostileServer::Script {
        return [page = page_naming(cover)](HostileConnection& c) {
            c.read_request();
            c.send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(page.size() + 1000) +
                   "\r\n\r\n" + page);
        };
    };
    auto good_page = [](const std::string& cover) { return serve(answer(page_naming(cover))); };

    // Covers that never become a picture, and one for pages that name none that is reached.
    const HostileServer::Script cover_unused = [](HostileConnection&) {};
    const std::string jpeg = sample_site::jpeg_cover(64, 48);
    const HostileServer::Script cover_resets_mid_body = [jpeg](HostileConnection& c) {
        c.read_request();
        c.send("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(jpeg.size()) + "\r\n\r\n" +
               jpeg.substr(0, jpeg.size() / 2));
        c.reset();
    };
    // Headers that claim 100000 x 100000 pixels, or the most their fields can hold.
    const std::string bmp =
        with_size_fields(sample_site::bmp_cover(16, 16), {18, 22}, 4, false, 100000);
    const std::string gif =
        with_size_fields(sample_site::gif_cover(16, 16, 1, 10), {6, 8}, 2, false, 65535);
    const std::string pcx =
        with_size_fields(sample_site::pcx_cover(16, 16), {8, 10}, 2, false, 65534);

    static const std::vector<LookupCase> cases = {
        {"PageNeverAnswers", page_never_answers, cover_unused, Shows::kSchemeAlone, kGivenUpWithin},
        {"PageDripsAByteASecond", page_drips, cover_unused, Shows::kSchemeAlone, kGivenUpWithin},
        {"PageResetsAfterItsHeaders", page_resets, cover_unused, Shows::kSchemeAlone, kEndedWithin},
        {"PageAnnouncesLessThanItSends", page_announces_less, cover_unused, Shows::kSchemeAlone,
         kEndedWithin},
        {"PageRedirectsToItself", page_redirects_to_itself, cover_unused, Shows::kSchemeAlone,
         kEndedWithin},
        {"PageHasAMegabyteOfHeaders", page_with_megabyte_of_headers, cover_unused,
         Shows::kSchemeAlone, kEndedWithin},
        {"PageArrivesShortOfItsLengthButWhole", page_cut_short, serve(answer(jpeg)),
         Shows::kAddressAndPicture, kEndedWithin},
        {"CoverNeverAnswers", good_page, never_answers, Shows::kAddressOnly, kGivenUpWithin},
        {"CoverResetsMidBody", good_page, cover_resets_mid_body, Shows::kAddressOnly, kEndedWithin},
        {"BmpClaims100000By100000", good_page, serve(answer(bmp)), Shows::kAddressOnly,
         kEndedWithin},
        {"JpegClaims65535By65535", good_page, serve(answer(jpeg_claiming(65535))),
         Shows::kAddressOnly, kEndedWithin},
        {"GifClaims65535By65535", good_page, serve(answer(gif)), Shows::kAddressOnly, kEndedWithin},
        {"PcxClaims65535By65535", good_page, serve(answer(pcx)), Shows::kAddressOnly, kEndedWithin},
    };
    return cases;
}

class HostileLookupTest : public LookupWindowTest,
                          public ::testing::WithParamInterface<std::size_t> {};

TEST_P(HostileLookupTest, EndsInTimeWithADefinedResult) {
    const LookupCase& c = lookup_cases()[GetParam()];
    HostileServer cover_server(c.cover);
    ASSERT_TRUE(cover_server.listening());
    const std::string cover = "127.0.0.1:" + std::to_string(cover_server.port()) + "/cover.img";
    HostileServer page_server(c.page(cover), VIDMORA_HOSTILE_SITE_PORT);
    ASSERT_TRUE(page_server.listening())
        << "the page server needs port " << VIDMORA_HOSTILE_SITE_PORT;

    const auto took = look_up("170001");
    std::cout << "[ measured ] " << c.name << ": " << took.count() << " ms, 编辑框2 \""
              << get_text(EditBox::kEditBox2) << "\", picture "
              << (preview()->has_picture() ? "shown" : "none") << "\n";

    EXPECT_LT(took, c.within);
    EXPECT_EQ(get_text(EditBox::kEditBox2),
              "http://" + (c.shows == Shows::kSchemeAlone ? std::string() : cover));
    EXPECT_EQ(preview()->has_picture(), c.shows == Shows::kAddressAndPicture);
}

INSTANTIATE_TEST_SUITE_P(, HostileLookupTest,
                         ::testing::Range<std::size_t>(0, lookup_cases().size()),
                         [](const auto& info) { return lookup_cases()[info.param].name; });

// A page of a megabyte that decodes to a gibibyte, its cover named at the start: the lookup
// finds the cover all the same. The run prints the time and the peak resident memory.
using GzipBombLookupTest = LookupWindowTest;

TEST_F(GzipBombLookupTest, PageOfAGibibyteStillGivesItsCover) {
    const std::string jpeg = sample_site::jpeg_cover(64, 48);
    HostileServer cover_server(serve(answer(jpeg)));
    const std::string cover = "127.0.0.1:" + std::to_string(cover_server.port()) + "/cover.jpg";
    const std::string head = "<html><body><img src=\"http://" + cover +
                             "\" style=\"display:none;\" class=\"cover_image\"/>";
    const auto bomb = testing::gzip_bomb(head, ' ', std::size_t{1} << 30);
    HostileServer page_server(serve(answer(std::string(bomb.begin(), bomb.end()))),
                              VIDMORA_HOSTILE_SITE_PORT);
    ASSERT_TRUE(page_server.listening());

    const auto took = look_up("170001");
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::cout << "[ measured ] gzip bomb of " << bomb.size() << " bytes: " << took.count()
              << " ms, peak resident " << usage.ru_maxrss / 1024 << " MiB\n";

    EXPECT_EQ(get_text(EditBox::kEditBox2), "http://" + cover);
    EXPECT_TRUE(preview()->has_picture());
}

}  // namespace
}  // namespace vidmora::test
