// Cutting a piece out of a text by its surrounding markers.
#pragma once

#include <cstdint>

#include "text/text.h"

namespace vidmora {

// Stands for one double quote inside a marker: "#引号" in GBK.
inline constexpr std::string_view kQuotePlaceholder = "\x23\xD2\xFD\xBA\xC5";

// The bytes strictly between the first `left` marker (searched from `start`) and the first
// `right` marker after it; the empty text when either is missing.
Text text_between(const Text& text, const Text& left, const Text& right, std::int32_t start = 0,
                  bool ignore_case = false);
// The bytes after the first colon, trimmed of blanks; the empty text without a colon.
Text text_after_colon(const Text& text);

}  // namespace vidmora
