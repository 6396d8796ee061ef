// url_host, url_port and url_path on any text: they never fail, the host is lower-case and
// holds no "/" (nor a ":" unless the port is kept), the path is "/" or the URL's own end.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "fuzz/property_check.h"
#include "fuzz/text/reference.h"
#include "web/url.h"

namespace vidmora {
namespace {

using fuzzing::check;

// The URL: the fuzzer's text, behind one of the schemes the rules look at (in some letter
// case) or none.
Text consume_url(FuzzedDataProvider& data) {
    static const char* const kSchemes[] = {"", "http://", "https://", "HTTP://", "HttpS://"};
    const char* scheme = data.PickValueInArray(kSchemes);
    return scheme + reference::consume_text(data, SIZE_MAX);
}

}  // namespace
}  // namespace vidmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vidmora;
    FuzzedDataProvider provider(data, size);
    const Text url = consume_url(provider);

    const Text host = url_host(url);
    check(to_lower(host) == host, "host is lower-case");
    check(find_text(host, "/") == -1, "host holds no /");
    check(find_text(host, ":") == -1, "host without its port holds no :");

    const Text with_port = url_host(url, false, true);
    check(find_text(with_port, "/") == -1, "host with port holds no /");
    check(with_port.starts_with(host), "the port follows the host");

    const Text base = url_host(url, true, false);
    check(find_text(base, "/") == -1 && find_text(base, ":") == -1, "base domain is a host");
    check(split_text(base, ".").size() <= 2, "base domain has at most two labels");

    const std::int32_t port = url_port(url);
    if (find_text(with_port, ":") == -1) check(port == 80 || port == 443, "default port");

    const Text path = url_path(url);
    check(!path.empty() && path[0] == '/', "path starts with /");
    check(path == "/" || url.ends_with(path), "path is the end of the URL");
    return 0;
}
