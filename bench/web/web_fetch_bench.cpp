// Fetching a 10 MB body from a loopback server: web_request and download_bytes over wininet.so,
// next to plain libcurl fetching the same body in the same run.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <string>
#include <vector>

#include "tests/platform/wininet/loopback_server.h"
#include "web/download_bytes.h"
#include "web/web_request.h"

namespace {

constexpr std::size_t kBodySize = 10 * 1024 * 1024;

vidmora::testing::LoopbackServer& server() {
    static auto* instance = [] {
        auto* s = new vidmora::testing::LoopbackServer;
        static const std::string body(kBodySize, 'x');
        s->routes().Get("/big", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(body, "application/octet-stream");
        });
        s->start();
        return s;
    }();
    return *instance;
}

size_t append(char* data, size_t size, size_t count, void* user) {
    auto& body = *static_cast<std::vector<std::uint8_t>*>(user);
    body.insert(body.end(), data, data + size * count);
    return size * count;
}

void BM_Curl(benchmark::State& state) {
    const std::string url = server().url("/big");
    for (auto _ : state) {
        std::vector<std::uint8_t> body;
        CURL* easy = curl_easy_init();
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &append);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
        curl_easy_perform(easy);
        curl_easy_cleanup(easy);
        if (body.size() != kBodySize) state.SkipWithError("short body");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBodySize));
}

void BM_WebRequest(benchmark::State& state) {
    const std::string url = server().url("/big");
    for (auto _ : state) {
        vidmora::Bytes body = vidmora::web_request(url);
        if (body.size() != kBodySize) state.SkipWithError("short body");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBodySize));
}

void BM_DownloadBytes(benchmark::State& state) {
    const std::string url = server().url("/big");
    for (auto _ : state) {
        vidmora::Bytes body = vidmora::download_bytes(url);
        if (body.size() != kBodySize) state.SkipWithError("short body");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBodySize));
}

// The server runs on another thread: wall time is what counts.
BENCHMARK(BM_Curl)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WebRequest)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DownloadBytes)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
