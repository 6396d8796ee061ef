#include "tests/platform/wininet/hostile_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace vidmora::testing {

HostileConnection::~HostileConnection() {
    if (socket_ >= 0) close(socket_);
}

bool HostileConnection::wait(short events, std::chrono::milliseconds timeout) {
    pollfd fds[2] = {{socket_, events, 0}, {stop_signal_, POLLIN, 0}};
    int ready;
    do {
        ready = poll(fds, 2, static_cast<int>(timeout.count()));
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0 || fds[1].revents != 0) return false;
    // A hang-up still lets recv report the end; for sending it is the end.
    if (events == POLLOUT) return (fds[0].revents & POLLOUT) != 0;
    return fds[0].revents != 0;
}

std::string HostileConnection::read_request() {
    char buffer[4096];
    for (;;) {
        if (auto end = unread_.find("\r\n\r\n"); end != std::string::npos) {
            std::string head = unread_.substr(0, end + 4);
            unread_.erase(0, end + 4);
            return head;
        }
        if (!wait(POLLIN)) return {};
        const ssize_t n = recv(socket_, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return {};
        if (n > 0) unread_.append(buffer, static_cast<std::size_t>(n));
    }
}

bool HostileConnection::send(std::string_view bytes) {
    while (!bytes.empty()) {
        if (!wait(POLLOUT)) return false;
        const ssize_t n = ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (n > 0) bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool HostileConnection::drip(std::string_view bytes, std::chrono::milliseconds interval) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!send(bytes.substr(i, 1))) return false;
        // Sleeps, but wakes at once when the server stops.
        pollfd stop{stop_signal_, POLLIN, 0};
        if (poll(&stop, 1, static_cast<int>(interval.count())) != 0) return false;
    }
    return true;
}

void HostileConnection::hold() {
    char buffer[4096];
    while (wait(POLLIN)) {
        const ssize_t n = recv(socket_, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return;
    }
}

void HostileConnection::reset() {
    // A zero linger time makes close send RST and drop whatever is still queued.
    const linger abort{1, 0};
    setsockopt(socket_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    close(socket_);
    socket_ = -1;
}

HostileServer::HostileServer(Script script, int port) : script_(std::move(script)) {
    if (pipe2(stop_pipe_, O_CLOEXEC) != 0) return;
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) return;
    const int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener, 64) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(listener);
        return;
    }
    listener_ = listener;
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { accept_loop(); });
}

HostileServer::~HostileServer() {
    if (stop_pipe_[1] >= 0) {
        // Never read: every wait of every connection sees it from now on.
        const char stop = 1;
        [[maybe_unused]] const ssize_t written = write(stop_pipe_[1], &stop, 1);
    }
    if (acceptor_.joinable()) acceptor_.join();
    for (auto& script : scripts_) script.join();
    if (listener_ >= 0) close(listener_);
    for (int fd : stop_pipe_)
        if (fd >= 0) close(fd);
}

std::string HostileServer::url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void HostileServer::accept_loop() {
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {stop_pipe_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0) return;
        const int socket = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (socket < 0) continue;
        std::lock_guard lock(mutex_);
        scripts_.emplace_back([this, socket] {
            HostileConnection connection(socket, stop_pipe_[0]);
            script_(connection);
        });
    }
}

}  // namespace vidmora::testing
