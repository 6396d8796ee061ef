// An HTTP server on loopback, in-process, that remembers every request it was sent.
#pragma once

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vidmora::testing {

struct SeenRequest {
    std::string method;
    std::string target;  // as on the request line
    std::string version;
    httplib::Headers headers;  // as sent, without the server's own additions
    std::string body;

    // The value of the one header of that name; "<absent>" or "<twice>" otherwise.
    std::string header(const std::string& name) const {
        auto count = headers.count(name);
        if (count == 0) return "<absent>";
        if (count > 1) return "<twice>";
        return headers.find(name)->second;
    }
};

class LoopbackServer {
  public:
    explicit LoopbackServer(
        std::unique_ptr<httplib::Server> server = std::make_unique<httplib::Server>())
        : server_(std::move(server)) {
        server_->set_pre_routing_handler(
            [this](const httplib::Request& request, httplib::Response&) {
                std::lock_guard lock(mutex_);
                // Requests are numbered as they arrive: the answers of two connections may be
                // logged in the other order.
                arrival_[&request] = started_++;
                return httplib::Server::HandlerResponse::Unhandled;
            });
        // The logger runs once the request, body included, has been read and answered.
        server_->set_logger([this](const httplib::Request& request, const httplib::Response&) {
            SeenRequest seen{request.method, request.target, request.version, {}, request.body};
            for (const auto& [name, value] : request.headers)
                if (name != "REMOTE_ADDR" && name != "REMOTE_PORT" && name != "LOCAL_ADDR" &&
                    name != "LOCAL_PORT")
                    seen.headers.emplace(name, value);
            std::lock_guard lock(mutex_);
            const auto arrived = arrival_.find(&request);
            std::size_t number = started_;
            if (arrived != arrival_.end()) {
                number = arrived->second;
                arrival_.erase(arrived);
            }
            logged_requests_.emplace_back(number, std::move(seen));
            logged_.notify_all();
        });
    }
    ~LoopbackServer() { stop(); }

    httplib::Server& routes() { return *server_; }

    // Routes must be in place before this.
    void start() {
        port_ = server_->bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_->listen_after_bind(); });
        // stop() only reaches a server that runs.
        while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void stop() {
        if (!thread_.joinable()) return;
        server_->stop();
        thread_.join();
    }

    int port() const { return port_; }
    std::string origin() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string url(const std::string& path, const std::string& scheme = "http") const {
        return scheme + "://" + origin() + path;
    }
    // Every request whose answer has begun, in the order they arrived; the server records each
    // just after answering it.
    std::vector<SeenRequest> seen() {
        std::unique_lock lock(mutex_);
        logged_.wait_for(lock, std::chrono::seconds(5),
                         [this] { return logged_requests_.size() >= started_; });
        std::stable_sort(logged_requests_.begin(), logged_requests_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<SeenRequest> seen;
        for (const auto& logged : logged_requests_) seen.push_back(logged.second);
        return seen;
    }

  private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    std::mutex mutex_;
    std::condition_variable logged_;
    std::size_t started_ = 0;
    std::map<const httplib::Request*, std::size_t> arrival_;
    std::vector<std::pair<std::size_t, SeenRequest>> logged_requests_;
};

}  // namespace vidmora::testing
