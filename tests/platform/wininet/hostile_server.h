// A TCP server on loopback that treats every connection by a script of the test's: it can
// stay silent, drip, cut off, reset or lie about lengths, as broken and hostile web servers do.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vidmora::testing {

// One accepted connection, as its script sees it. Every call returns early once the server
// stops or the client has gone away, so that no script outlives its test.
class HostileConnection {
  public:
    HostileConnection(int socket, int stop_signal) : socket_(socket), stop_signal_(stop_signal) {}
    ~HostileConnection();  // closes the connection in order, unless reset() ended it
    HostileConnection(const HostileConnection&) = delete;
    HostileConnection& operator=(const HostileConnection&) = delete;

    // The request's head, up to and including the blank line; empty if the client left first.
    std::string read_request();
    // False once the client has gone away or the server stops.
    bool send(std::string_view bytes);
    // One byte per `interval`.
    bool drip(std::string_view bytes, std::chrono::milliseconds interval);
    // Says nothing more until the client hangs up or the server stops.
    void hold();
    // Ends the connection with a TCP reset instead of an orderly close.
    void reset();

  private:
    // Waits for the socket to be ready for `events`; false on stop, hang-up or timeout.
    bool wait(short events, std::chrono::milliseconds timeout = std::chrono::hours(1));

    int socket_;
    int stop_signal_;
    std::string unread_;
};

class HostileServer {
  public:
    using Script = std::function<void(HostileConnection&)>;

    // Listens on 127.0.0.1 at `port` (0: any free port) and runs `script` on a thread of its
    // own for every connection; the connection is closed when the script returns.
    explicit HostileServer(Script script, int port = 0);
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    bool listening() const { return listener_ >= 0; }
    int port() const { return port_; }
    std::string url(std::string_view path) const;

  private:
    void accept_loop();

    Script script_;
    int listener_ = -1;
    int port_ = 0;
    int stop_pipe_[2] = {-1, -1};
    std::thread acceptor_;
    std::mutex mutex_;
    std::vector<std::thread> scripts_;
};

}  // namespace vidmora::testing
