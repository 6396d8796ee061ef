// A loopback HTTP server that stands in for the video site: gzip'd pages under
// /video/<number> and their covers under /cover/. For the demo and the end-to-end tests.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace httplib {
class Server;
}

namespace vidmora::sample_site {

// What one request looked like when it arrived.
struct ReceivedRequest {
    std::string method;
    std::string path;  // with its query, as sent
    std::string version;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string header(const std::string& name) const;  // "" when absent
};

struct Resource {
    std::string body;
    std::string content_type;
    std::string content_encoding;  // "gzip" or empty
};

// The numbers the site knows, each with a cover in another format.
struct KnownVideo {
    const char* number;
    const char* format;
    const char* cover_path;
};
const std::vector<KnownVideo>& known_videos();

class SampleSite {
  public:
    SampleSite();
    ~SampleSite();
    SampleSite(const SampleSite&) = delete;
    SampleSite& operator=(const SampleSite&) = delete;

    // Listens on 127.0.0.1 (port 0: any free port) on a thread of its own and serves the known
    // videos. False when the port cannot be bound.
    bool start(int port = 0);
    void stop();
    int port() const { return port_; }
    // "127.0.0.1:port", the host part of the site's addresses.
    std::string host() const;

    // Serves `resource` at `path` from now on, in place of whatever was there.
    void put(const std::string& path, Resource resource);
    std::vector<ReceivedRequest> requests() const;
    // Writes one line per request to standard output.
    void set_logging(bool on) { logging_ = on; }

  private:
    void add_known_videos();

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    bool logging_ = false;
    mutable std::mutex mutex_;
    std::map<std::string, Resource> resources_;
    std::vector<ReceivedRequest> requests_;
};

}  // namespace vidmora::sample_site
