#include "tools/sample-site/sample_site.h"

#include <httplib.h>

#include <strings.h>
#include <cstdio>

#include "tools/sample-site/site_covers.h"
#include "tools/sample-site/site_pages.h"

namespace vidmora::sample_site {

const std::vector<KnownVideo>& known_videos() {
    static const std::vector<KnownVideo> videos = {
        {"170001", "JPEG", "/cover/170001.jpg"},
        {"170002", "animated GIF", "/cover/170002.gif"},
        {"170003", "BMP", "/cover/170003.bmp"},
        {"170004", "PCX", "/cover/170004.pcx"},
        {"170005", "PNG (not shown by the preview)", "/cover/170005.png"},
    };
    return videos;
}

std::string ReceivedRequest::header(const std::string& name) const {
    for (const auto& [key, value] : headers) {
        if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
    }
    return {};
}

SampleSite::SampleSite() : server_(std::make_unique<httplib::Server>()) {}

SampleSite::~SampleSite() {
    stop();
}

std::string SampleSite::host() const {
    return "127.0.0.1:" + std::to_string(port_);
}

void SampleSite::put(const std::string& path, Resource resource) {
    std::lock_guard lock(mutex_);
    resources_[path] = std::move(resource);
}

std::vector<ReceivedRequest> SampleSite::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void SampleSite::add_known_videos() {
    for (const KnownVideo& video : known_videos()) {
        const std::string address = host() + video.cover_path;
        put(std::string("/video/") + video.number,
            {gzip(video_page(video.number, address)), "text/html; charset=gbk", "gzip"});
    }
    put("/cover/170001.jpg", {jpeg_cover(480, 300), "image/jpeg", ""});
    put("/cover/170002.gif", {gif_cover(240, 150, 3, 50), "image/gif", ""});
    put("/cover/170003.bmp", {bmp_cover(408, 336), "image/bmp", ""});
    put("/cover/170004.pcx", {pcx_cover(320, 200), "image/x-pcx", ""});
    put("/cover/170005.png", {png_cover(320, 200), "image/png", ""});
}

bool SampleSite::start(int port) {
    port_ = port == 0 ? server_->bind_to_any_port("127.0.0.1")
                      : (server_->bind_to_port("127.0.0.1", port) ? port : -1);
    if (port_ <= 0) return false;
    add_known_videos();

    server_->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        ReceivedRequest received{request.method, request.target, request.version, {}};
        for (const auto& header : request.headers) {
            // The server library files the peer's addresses among the headers.
            if (header.first.starts_with("REMOTE_") || header.first.starts_with("LOCAL_")) continue;
            received.headers.push_back(header);
        }
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(std::move(received));
        }
        // The site sends its pages gzip'd whatever the client accepts; the server library
        // would compress them a second time for a client that accepts gzip. The request is
        // the server's own mutable object, handed out as const.
        const_cast<httplib::Request&>(request).headers.erase("Accept-Encoding");
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        std::unique_lock lock(mutex_);
        auto found = resources_.find(request.path);
        Resource resource;
        if (found != resources_.end()) {
            resource = found->second;
        } else if (request.path.rfind("/video/", 0) == 0) {
            // Every other number has a page, only without a cover.
            resource = {gzip(video_page(request.path.substr(7), "")), "text/html; charset=gbk",
                        "gzip"};
        } else {
            response.status = 404;
            response.set_content("not found", "text/plain");
            return;
        }
        lock.unlock();
        if (!resource.content_encoding.empty()) {
            response.set_header("Content-Encoding", resource.content_encoding);
        }
        response.set_content(resource.body, resource.content_type);
    });
    server_->set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        if (!logging_) return;
        std::printf("%s %s %s -> %d, %zu bytes\n", request.method.c_str(), request.target.c_str(),
                    request.version.c_str(), response.status, response.body.size());
        std::fflush(stdout);
    });
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::yield();
    return true;
}

void SampleSite::stop() {
    if (thread_.joinable()) {
        server_->stop();
        thread_.join();
    }
}

}  // namespace vidmora::sample_site
