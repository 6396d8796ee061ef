// Taking a URL apart with plain text rules: the host between the scheme and the next "/",
// the port after the host's last colon, the path from the first "/" after the host.
#include "web/url.h"

#include "text/markers.h"

namespace vidmora {
namespace {

// The lower-cased URL with a "/" at its end, so that a URL ending right after its host still
// has a "/" after the host.
Text work_text(const Text& url) {
    Text work = to_lower(url);
    if (work.empty() || work.back() != '/') work = join_text(work, "/");
    return work;
}

// Position (1-based) of the first byte after the scheme that url_host takes the host after;
// 1 when url_host puts a scheme in front itself.
std::int32_t host_start(const Text& url) {
    const Text work = work_text(url);
    if (text_left(work, 8) == "https://") return 9;
    const std::int32_t http = find_text(work, "http://");
    return http == -1 ? 1 : http + 7;
}

}  // namespace

Text url_host(const Text& url, bool base_domain_only, bool keep_port) {
    Text work = work_text(url);
    Text host;
    if (text_left(work, 8) == "https://") {
        host = text_between(work, "https://", "/");
    } else {
        // The lowered text finds "http://" in any letter case.
        if (find_text(work, "http://") == -1) work = join_text("http://", work);
        host = text_between(work, "http://", "/");
    }
    if (base_domain_only) {
        // Runs before the port is cut, so a port on the last label is still there then.
        const TextList labels = split_text(host, ".");
        const std::int32_t n = list_count(labels);
        if (n >= 2) host = join_text(labels[n - 2], ".", labels[n - 1]);
    }
    if (!keep_port) {
        const std::int32_t colon = find_text(host, ":");
        if (colon != -1) host = text_left(host, colon - 1);
    }
    return host;
}

std::int32_t url_port(const Text& url) {
    const Text host = url_host(url, false, true);
    const std::int32_t colon = find_text_last(host, ":");
    if (colon == -1) return text_left(to_lower(url), 5) == "https" ? 443 : 80;
    // A colon with no digits after it gives port 0.
    return text_to_int(text_right(host, text_length(host) - colon));
}

Text url_path(const Text& url) {
    const Text host = url_host(url);
    // The host is looked for where url_host took it from, after the scheme: searched from
    // the start of the URL, a host such as "tt" or "p" would be found inside "http://", and
    // an empty host would be "found" at position 1.
    const std::int32_t start = host_start(url);
    const std::int32_t a = host.empty() ? start : find_text(url, host, start, true);
    const std::int32_t b = find_text(url, "/", a, true);
    if (b < 1) return "/";
    return text_right(url, text_length(url) - b + 1);
}

}  // namespace vidmora
