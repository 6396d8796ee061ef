// Windows icons and cursors: a directory of images, of which the best one is shown.
#include <algorithm>
#include <vector>

#include "platform/picture/decoders.h"
#include "platform/picture/dib_decoder.h"

namespace vidmora::picture_detail {

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;

struct Candidate {
    std::uint64_t offset = 0;
    DibSummary summary;
    std::size_t index = 0;
};

bool is_png(ByteSpan data) {
    static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return has_bytes(data, 0, sizeof kSignature) &&
           std::equal(std::begin(kSignature), std::end(kSignature), data.begin());
}

}  // namespace

Picture decode_icon(ByteSpan bytes) {
    if (!has_bytes(bytes, 0, kDirectorySize)) return {};
    const std::size_t count = read_u16(bytes, 4);
    if (count == 0 || !has_bytes(bytes, kDirectorySize, count * kEntrySize)) return {};

    // The sizes in the directory are often wrong (0 means 256, cursors reuse the depth
    // fields for the hot spot), so each image is judged by its own header. PNG images are
    // not decoded here and are passed over.
    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kDirectorySize + i * kEntrySize;
        const std::uint64_t offset = read_u32(bytes, entry + 12);
        if (offset >= bytes.size()) continue;
        const ByteSpan image = bytes.subspan(offset);
        if (is_png(image)) continue;
        if (auto summary = dib_summary(image, true)) candidates.push_back({offset, *summary, i});
    }
    // The largest image, then the deepest; the first in the file among equals.
    std::stable_sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) {
        const auto area_a = a.summary.width * a.summary.height;
        const auto area_b = b.summary.width * b.summary.height;
        if (area_a != area_b) return area_a > area_b;
        return a.summary.bit_count > b.summary.bit_count;
    });
    // A broken best image gives way to the next best one the file holds.
    for (const Candidate& c : candidates) {
        DibSource source;
        source.dib = bytes.subspan(c.offset);
        source.icon_image = true;
        if (auto frame = decode_dib(source)) {
            Picture picture;
            picture.frames.push_back(std::move(*frame));
            return picture;
        }
    }
    return {};
}

}  // namespace vidmora::picture_detail
