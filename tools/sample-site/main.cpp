// sample-site [port]: serves the sample video site on 127.0.0.1 until it is killed.
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "tools/sample-site/sample_site.h"

int main(int argc, char** argv) {
    const int port = argc > 1 ? std::atoi(argv[1]) : 0;
    // Blocked before the server's thread starts, so that only sigwait below sees them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    vidmora::sample_site::SampleSite site;
    site.set_logging(true);
    if (!site.start(port)) {
        std::fprintf(stderr, "sample-site: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::printf("sample-site listening on http://%s/\n", site.host().c_str());
    for (const auto& video : vidmora::sample_site::known_videos()) {
        std::printf("  video %s: cover in %s\n", video.number, video.format);
    }
    std::printf("  any other number: a page without a cover\n");
    std::fflush(stdout);
    int signal = 0;
    sigwait(&signals, &signal);
    site.stop();
    return 0;
}
