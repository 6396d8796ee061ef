// Two-byte GBK characters the text tests are built from. Kept as byte escapes so that the
// tests say exactly which bytes they hold.
#pragma once

#include <string>

namespace vidmora::test {

// A two-byte character whose second byte is the ASCII letter 'A' (0x41).
inline const std::string kLeadA = "\xB0\x41";
// A two-byte character whose second byte is 0xA1, the first half of a full-width space.
inline const std::string kLeadA1 = "\xB0\xA1";
// The full-width space.
inline const std::string kWide = "\xA1\xA1";
// "中" in GBK.
inline const std::string kZhong = "\xD6\xD0";
// A lead byte on its own: a broken character when it ends a text.
inline const std::string kLead = "\xB0";

}  // namespace vidmora::test
