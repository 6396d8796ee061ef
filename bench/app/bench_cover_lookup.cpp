// The Go button's own work on a 1 MB and a 10 MB page, beside gzip_decompress alone on the same
// page. The lookup runs whole against the sample site on loopback, and then its steps between
// the network and the pause run again on the same page body and image: what the handler itself
// costs (decompression, the page into the edit box and back, the cut, the address, the
// picture), without the fetches and without the 2000 ms that whole_lookup_ms includes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>

#include "app/controls.h"
#include "app/cover_lookup.h"
#include "app/main_window_qt.h"
#include "extlib/gzip_decompress.h"
#include "text/markers.h"
#include "tools/sample-site/sample_site.h"
#include "tools/sample-site/site_pages.h"
#include "web/download_bytes.h"
#include "web/web_request.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A page of `megabytes` that compresses about as a real one does: rows of GBK words, numbers
// and links that vary, and the cover tag near its end.
std::string big_page(int megabytes, const std::string& cover) {
    static const char* const kWords[] = {"\xCA\xD3\xC6\xB5", "\xB7\xE2\xC3\xE6", "\xCA\xBE\xC0\xFD",
                                         "\xB5\xDA",         "Vidmora",          "play",
                                         "comment",          "\xBA\xC5"};
    std::string page = "<html><head><title>Vidmora</title></head><body>\r\n";
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    while (page.size() < static_cast<std::size_t>(megabytes) << 20) {
        page +=
            "<div class=\"comment\" data-id=\"" + std::to_string(next() % 1000000) + "\"><span>";
        for (int w = 0; w < 6; ++w) page += std::string(kWords[next() >> 29]) + " ";
        page += "</span><a href=\"/video/" + std::to_string(next() % 900000 + 100000) +
                "\">AV</a></div>\r\n";
    }
    page += "<img src=\"http://" + cover + "\" style=\"display:none;\" class=\"cover_image\"/>";
    return page + "</body></html>\r\n";
}

void BM_CoverLookupOwnWork(benchmark::State& state) {
    vidmora::sample_site::SampleSite site;
    if (!site.start(VIDMORA_TEST_SITE_PORT)) {
        state.SkipWithError("the sample site's port is taken");
        return;
    }
    const std::string number = std::to_string(900 + state.range(0));
    const std::string page_address = "http://" + site.host() + "/video/" + number;
    const std::string cover = site.host() + "/cover/170003.bmp";
    site.put("/video/" + number,
             {vidmora::sample_site::gzip(big_page(state.range(0), cover)), "text/html", "gzip"});

    vidmora::MainWindowQt window;
    window.show_centred();
    QApplication::processEvents();

    const vidmora::Bytes body = vidmora::web_request(page_address);
    const vidmora::Bytes image = vidmora::download_bytes("http://" + cover);
    double own_ms = 0, gzip_ms = 0, whole_ms = 0;
    for (auto _ : state) {
        // The whole lookup once, as a check that it does what the steps below do.
        vidmora::set_text(vidmora::EditBox::kEditBox1, number);
        auto start = Clock::now();
        vidmora::cover_lookup();
        whole_ms += ms_since(start);
        if (vidmora::get_text(vidmora::EditBox::kEditBox2) != "http://" + cover) {
            state.SkipWithError("the lookup found no cover");
            return;
        }
        QApplication::processEvents();

        // The handler's steps between the fetch, the pause and the download, on the same page.
        start = Clock::now();
        vidmora::set_text(vidmora::EditBox::kEditBox2,
                          vidmora::bytes_to_text(vidmora::gzip_decompress(body)));
        const vidmora::Text address = vidmora::text_between(
            vidmora::get_text(vidmora::EditBox::kEditBox2), "<img src=\"http://",
            "\" style=\"display:none;\" class=\"cover_image\"/>");
        vidmora::set_text(vidmora::EditBox::kEditBox2, vidmora::join_text("http://", address));
        benchmark::DoNotOptimize(vidmora::get_text(vidmora::EditBox::kEditBox2));
        vidmora::set_picture(vidmora::PictureBox::kPictureBox1, image);
        const double own = ms_since(start);
        QApplication::processEvents();

        start = Clock::now();
        benchmark::DoNotOptimize(vidmora::gzip_decompress(body));
        const double gzip = ms_since(start);

        state.SetIterationTime(own / 1000);
        own_ms += own;
        gzip_ms += gzip;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["own_ms"] = own_ms / n;
    state.counters["gzip_ms"] = gzip_ms / n;
    state.counters["own_per_gzip"] = own_ms / gzip_ms;
    state.counters["whole_lookup_ms"] = whole_ms / n;  // with the network and the 2000 ms pause
}
BENCHMARK(BM_CoverLookupOwnWork)
    ->Arg(1)
    ->Arg(10)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
