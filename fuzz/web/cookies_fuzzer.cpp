// collect_set_cookies and merge_cookies on header blocks and cookie texts made from the
// fuzzer's bytes. The merge must leave no deleted and no repeated item, hand the caller the
// result in its request variable, and agree with a literal version of its rules that walks
// lists where the real one keeps hash sets.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <set>
#include <string>

#include "fuzz/property_check.h"
#include "fuzz/text/reference.h"
#include "text/markers.h"
#include "web/cookies.h"

namespace vidmora {
namespace {

using fuzzing::check;

// The collection step by step as its rules read.
Text reference_collect(const Text& headers) {
    Text cookies;
    for (const Text& line : split_text(headers, "\r\n")) {
        if (find_text(line, "Set-Cookie") == -1) continue;
        const Text item = find_text(line, ";") != -1
                              ? trim_spaces(text_between(line, "Set-Cookie:", ";"))
                              : trim_spaces(replace_text(line, "Set-Cookie:", "", false));
        cookies = join_text(cookies, item, "; ");
    }
    return text_left(cookies, text_length(cookies) - 2);
}

// The merge step by step as its rules read, with the list walks of has_cookie_named and
// dedupe_items.
Text reference_merge(Text request, Text response) {
    request = remove_spaces(request);
    response = remove_spaces(response);
    TextList items = split_text(response, ";");
    for (const Text& old : split_text(request, ";")) {
        if (!has_cookie_named(items, cookie_name(old))) list_append(items, old);
    }
    Text merged;
    for (const Text& item : items) {
        if (!text_equals(text_right(item, 8), "=deleted")) merged = join_text(merged, item, "; ");
    }
    merged = text_left(merged, text_length(merged) - 2);
    TextList seen;
    Text result;
    for (const Text& item : split_text(merged, "; ")) {
        if (index_of_item(seen, item) != -1) continue;
        list_append(seen, item);
        result = join_text(result, item, "; ");
    }
    return text_left(result, text_length(result) - 2);
}

// A header block: lines that are Set-Cookie headers (in some spelling) or anything else.
Text consume_headers(FuzzedDataProvider& data) {
    static const char* const kNames[] = {
        "Set-Cookie: ", "Set-Cookie:", "Set-Cookie2: ", "Content-Type: ", ""};
    Text headers;
    const auto lines = data.ConsumeIntegralInRange<int>(0, 12);
    for (int i = 0; i < lines; ++i) {
        headers += data.PickValueInArray(kNames);
        headers += reference::consume_text(data, 48);
        headers += "\r\n";
    }
    return headers;
}

}  // namespace
}  // namespace vidmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vidmora;
    FuzzedDataProvider provider(data, size);
    const Text headers = consume_headers(provider);
    const Text old_cookies = reference::consume_text(provider, 256);

    const Text collected = collect_set_cookies(headers);
    check(collected == reference_collect(headers), "collect_set_cookies as the rules say");

    // Once with what the headers gave, once with the fuzzer's own cookie text as the response.
    for (const Text& response_in : {collected, reference::consume_text(provider, 256)}) {
        Text request = old_cookies;
        Text response = response_in;
        const Text merged = merge_cookies(request, response);
        check(request == merged, "the request variable holds the result");
        check(response == remove_spaces(response_in), "the response variable loses its spaces");
        check(merged == reference_merge(old_cookies, response_in), "merge as the rules say");
        std::set<Text> items;
        for (const Text& item : split_text(merged, "; ")) {
            check(!text_equals(text_right(item, 8), "=deleted"), "no deleted item");
            check(items.insert(item).second, "no repeated item");
        }
    }
    return 0;
}
