// The objects behind the library's handles and the table that maps handles to them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/wininet/wininet.h"

namespace vidmora::wininet {

// An internet handle: the user agent and how to reach servers.
struct Session {
    std::string agent;
    std::uint32_t access_type = INTERNET_OPEN_TYPE_PRECONFIG;
    std::string proxy;   // the proxy list of INTERNET_OPEN_TYPE_PROXY
    std::string bypass;  // hosts reached without the proxy
};

// A connection handle: one server. Nothing goes on the wire before a request is sent.
struct Connection {
    std::shared_ptr<Session> session;
    std::string host;
    INTERNET_PORT port = INTERNET_INVALID_PORT_NUMBER;  // 0: the scheme's default
    std::string user_name;
    std::string password;
    std::string proxy_user_name;
    std::string proxy_password;
};

class Transfer;

struct Request {
    std::shared_ptr<Connection> connection;
    std::string verb;
    std::string path;
    std::string version;
    std::string referrer;
    std::vector<std::string> accept_types;
    std::uint32_t flags = 0;
    std::shared_ptr<Transfer> transfer;  // once sent
};

using HandleObject =
    std::variant<std::shared_ptr<Session>, std::shared_ptr<Connection>, std::shared_ptr<Request>>;

// A new handle for the object; never null.
HINTERNET add_handle(HandleObject object);
// The object behind a handle, or null when the handle is not open (or of another kind).
template <typename T>
std::shared_ptr<T> find_handle(HINTERNET handle);
// False when the handle is not open.
bool remove_handle(HINTERNET handle);

}  // namespace vidmora::wininet
