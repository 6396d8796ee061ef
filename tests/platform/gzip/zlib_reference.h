// Fixtures made with zlib itself: gzip streams to decode, zlib's own decoding to compare with,
// and page-like bodies that compress like real HTML.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace vidmora::testing {

using ByteVector = std::vector<std::uint8_t>;

inline ByteVector bytes_of(std::string_view text) {
    return ByteVector(text.begin(), text.end());
}

// One gzip member holding `plain`.
inline ByteVector gzip_with_zlib(const ByteVector& plain, int level = Z_DEFAULT_COMPRESSION) {
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    ByteVector out(deflateBound(&stream, static_cast<uLong>(plain.size())));
    stream.next_in = const_cast<Bytef*>(plain.data());
    stream.avail_in = static_cast<uInt>(plain.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// What zlib decodes from `compressed` with all input and unlimited output at hand: every member
// in turn, up to the end of the data or the first error.
inline ByteVector gunzip_with_zlib(const ByteVector& compressed) {
    ByteVector out;
    z_stream stream{};
    inflateInit2(&stream, 16 + MAX_WBITS);
    stream.next_in = const_cast<Bytef*>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    std::uint8_t chunk[65536];
    for (;;) {
        stream.next_out = chunk;
        stream.avail_out = sizeof chunk;
        const int rc = inflate(&stream, Z_NO_FLUSH);
        out.insert(out.end(), chunk, chunk + (sizeof chunk - stream.avail_out));
        if (rc == Z_STREAM_END) {
            if (stream.avail_in == 0) break;
            inflateReset(&stream);
            continue;
        }
        if (rc != Z_OK) break;
    }
    inflateEnd(&stream);
    return out;
}

// A gzip stream about a thousandth of `decoded_size` that decodes to `head` followed by
// `filler` up to `decoded_size` bytes in all. Each mebibyte of filler is deflated once after a
// full flush, which leaves the compressor as new, so the same bytes stand for every other one.
inline ByteVector gzip_bomb(std::string_view head, char filler, std::size_t decoded_size) {
    constexpr std::size_t kPiece = 1 << 20;
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    auto deflate_part = [&stream](const ByteVector& plain, int flush) {
        ByteVector out(deflateBound(&stream, static_cast<uLong>(plain.size())) + 64);
        stream.next_in = const_cast<Bytef*>(plain.data());
        stream.avail_in = static_cast<uInt>(plain.size());
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        deflate(&stream, flush);
        out.resize(out.size() - stream.avail_out);
        return out;
    };
    const std::size_t filler_size = decoded_size - head.size();
    const ByteVector piece(kPiece, static_cast<std::uint8_t>(filler));
    const ByteVector rest(filler_size % kPiece, static_cast<std::uint8_t>(filler));

    ByteVector out = {0x1f, 0x8b, 8, 0, 0, 0, 0, 0, 2, 0xff};  // no name, no time, best
    auto append = [&out](const ByteVector& part) {
        out.insert(out.end(), part.begin(), part.end());
    };
    append(deflate_part(bytes_of(head), Z_FULL_FLUSH));
    const ByteVector deflated_piece = deflate_part(piece, Z_FULL_FLUSH);
    for (std::size_t i = 0; i < filler_size / kPiece; ++i) append(deflated_piece);
    append(deflate_part(rest, Z_FINISH));
    deflateEnd(&stream);

    uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(head.data()), static_cast<uInt>(head.size()));
    const uLong piece_crc = crc32(0, piece.data(), kPiece);
    for (std::size_t i = 0; i < filler_size / kPiece; ++i)
        crc = crc32_combine(crc, piece_crc, kPiece);
    crc = crc32_combine(crc, crc32(0, rest.data(), static_cast<uInt>(rest.size())),
                        static_cast<z_off_t>(rest.size()));
    for (std::uint32_t field :
         {static_cast<std::uint32_t>(crc), static_cast<std::uint32_t>(decoded_size)})
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<std::uint8_t>(field >> shift));
    return out;
}

// Deterministic pseudo-random numbers (xorshift32), the same on every machine.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : state_(seed == 0 ? 0x9E3779B9u : seed) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    std::uint32_t below(std::uint32_t n) { return next() % n; }

  private:
    std::uint32_t state_;
};

inline ByteVector random_bytes(std::size_t size, std::uint32_t seed) {
    Noise noise(seed);
    ByteVector out(size);
    for (std::uint8_t& b : out) b = static_cast<std::uint8_t>(noise.next() >> 24);
    return out;
}

// A video-site-like page of `size` bytes: nested markup, attributes, links, numbers, Chinese
// text in GBK. It compresses about as well as a real page (roughly 5 to 8 times).
inline ByteVector html_like_page(std::size_t size, std::uint32_t seed) {
    static constexpr std::string_view kTags[] = {"div", "span", "a", "li", "p", "img", "ul", "em"};
    static constexpr std::string_view kClasses[] = {
        "video-item", "cover_image", "title",     "up-name", "play-count", "danmaku",
        "tag-list",   "nav-link",    "recommend", "comment", "reply-box",  "time"};
    static constexpr std::string_view kWords[] = {
        "video",   "the",    "watch", "live", "music",     "game", "anime",
        "daily",   "vlog",   "share", "new",  "hot",       "rank", "season",
        "episode", "follow", "coin",  "like", "favourite", "more"};
    // A few GBK words (two bytes per character).
    static constexpr std::string_view kGbkWords[] = {"\xca\xd3\xc6\xb5", "\xb2\xa5\xb7\xc5",
                                                     "\xb7\xe2\xc3\xe6", "\xb5\xaf\xc4\xbb",
                                                     "\xc6\xc0\xc2\xdb", "\xb9\xd8\xd7\xa2"};
    Noise noise(seed);
    std::string out;
    out.reserve(size + 512);
    auto put = [&out](std::string_view s) { out.append(s); };
    auto put_number = [&](std::uint32_t n) { put(std::to_string(n)); };
    auto pick = [&noise](const auto& list) -> std::string_view {
        return list[noise.below(static_cast<std::uint32_t>(std::size(list)))];
    };
    put("<!DOCTYPE html><html><head><meta charset=\"gbk\"><title>vidmora</title></head><body>\n");
    while (out.size() < size) {
        const std::string_view tag = pick(kTags);
        put("<");
        put(tag);
        put(" class=\"");
        put(pick(kClasses));
        put("\" data-id=\"");
        put_number(noise.below(100000000));
        put("\">");
        if (tag == "a" || tag == "img") {
            put(tag == "a" ? "<a href=\"http://www.vidmora.com/video/av" : "<img src=\"http://i");
            put_number(noise.below(1000000));
            put(tag == "a" ? "/\">" : ".vidmora.com/cover/");
            if (tag == "img") {
                put_number(noise.next());
                put(".jpg\"/>");
            }
        }
        const std::uint32_t words = 2 + noise.below(10);
        for (std::uint32_t i = 0; i < words; ++i) {
            put(noise.below(3) == 0 ? pick(kGbkWords) : pick(kWords));
            put(" ");
        }
        put("</");
        put(tag);
        put(">\n");
    }
    out.resize(size);
    return ByteVector(out.begin(), out.end());
}

}  // namespace vidmora::testing
