// GIF 87a and 89a through giflib, read record by record so that each image's size is checked
// before anything is allocated for it. Every frame is composed onto the canvas the way
// browsers do: the frame's transparent colour lets the canvas show through, and afterwards
// the frame's disposal method decides what the next frame starts from.
#include <algorithm>
#include <cstring>
#include <vector>

#include <gif_lib.h>

#include "platform/picture/decoders.h"
#include "platform/picture/picture_limits.h"

namespace vidmora::picture_detail {

namespace {

// Delays of 10 ms and less are shown as 100 ms, as browsers do: old encoders wrote 0 or 1
// meaning "as fast as sensible".
constexpr int kShortestDelayMs = 20;
constexpr int kDefaultDelayMs = 100;
// Pixels an animation may cost in all: its frames' canvases plus the images decoded into
// them, as much as one picture of the largest size. Frames beyond that are left out; the
// animation plays the ones before.
constexpr std::int64_t kPixelBudget = kMaxPicturePixels;

struct Reader {
    ByteSpan bytes;
    std::size_t at = 0;
};

int read_bytes(GifFileType* gif, GifByteType* out, int wanted) {
    auto* reader = static_cast<Reader*>(gif->UserData);
    const std::size_t count =
        std::min<std::size_t>(wanted < 0 ? 0 : wanted, reader->bytes.size() - reader->at);
    std::memcpy(out, reader->bytes.data() + reader->at, count);
    reader->at += count;
    return static_cast<int>(count);
}

struct GifCloser {
    GifFileType* gif;
    ~GifCloser() {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

int frame_delay(const GraphicsControlBlock& control) {
    const int ms = control.DelayTime * 10;
    return ms < kShortestDelayMs ? kDefaultDelayMs : ms;
}

// The rows of an interlaced image arrive in four passes: every 8th row from 0, every 8th
// from 4, every 4th from 2, every 2nd from 1.
class RowOrder {
  public:
    RowOrder(bool interlaced, int height) : interlaced_(interlaced), height_(height) {}
    int next() {
        const int row = row_;
        if (!interlaced_) {
            ++row_;
            return row;
        }
        static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
        row_ += kStep[pass_];
        while (row_ >= height_ && pass_ < 3) row_ = kStart[++pass_];
        return row;
    }

  private:
    bool interlaced_;
    int height_;
    int row_ = 0;
    int pass_ = 0;
};

class Composer {
  public:
    explicit Composer(GifFileType* gif) : gif_(gif) {}

    // Reads the image whose descriptor giflib has just read; false on bad data.
    bool image(const GraphicsControlBlock& control, bool* out_of_budget) {
        const GifImageDesc& d = gif_->Image;
        if (!picture_size_allowed(d.Width, d.Height)) return false;
        if (canvas_.empty() && !start_canvas(d)) return false;
        const std::int64_t cost = width_ * height_ + std::int64_t{d.Width} * d.Height;
        if (!frames_.empty() && spent_ + cost > kPixelBudget) {
            *out_of_budget = true;
            return true;
        }
        spent_ += cost;

        if (control.DisposalMode == DISPOSE_PREVIOUS) previous_ = canvas_;
        const ColorMapObject* colours = d.ColorMap ? d.ColorMap : gif_->SColorMap;
        line_.resize(d.Width);
        RowOrder order(d.Interlace, d.Height);
        for (int i = 0; i < d.Height; ++i) {
            if (DGifGetLine(gif_, line_.data(), d.Width) == GIF_ERROR) return false;
            const std::int64_t y = std::int64_t{d.Top} + order.next();
            if (y >= height_) continue;
            for (int x = 0; x < d.Width; ++x) {
                const std::int64_t cx = std::int64_t{d.Left} + x;
                const int index = line_[x];
                if (cx >= width_ || index == control.TransparentColor) continue;
                std::uint8_t* p = canvas_.data() + (y * width_ + cx) * 4;
                // An index beyond the colour map (or no map at all) shows black.
                GifColorType c{0, 0, 0};
                if (colours && index < colours->ColorCount) c = colours->Colors[index];
                p[0] = c.Red;
                p[1] = c.Green;
                p[2] = c.Blue;
                p[3] = 255;
            }
        }

        PictureFrame frame;
        frame.width = static_cast<std::int32_t>(width_);
        frame.height = static_cast<std::int32_t>(height_);
        frame.rgba = canvas_;
        frame.delay_ms = frame_delay(control);
        frames_.push_back(std::move(frame));

        if (control.DisposalMode == DISPOSE_BACKGROUND) {
            // Browsers clear to transparent rather than to the background colour.
            for (std::int64_t y = d.Top; y < std::min<std::int64_t>(height_, d.Top + d.Height);
                 ++y) {
                for (std::int64_t x = d.Left; x < std::min<std::int64_t>(width_, d.Left + d.Width);
                     ++x) {
                    std::memset(canvas_.data() + (y * width_ + x) * 4, 0, 4);
                }
            }
        } else if (control.DisposalMode == DISPOSE_PREVIOUS) {
            canvas_.swap(previous_);
        }
        return true;
    }

    Picture finish() {
        Picture picture;
        picture.frames = std::move(frames_);
        if (picture.frames.size() == 1) picture.frames[0].delay_ms = 0;
        return picture;
    }
    bool empty() const { return frames_.empty(); }

  private:
    // The logical screen; writers that leave it at zero get the first image's extent.
    bool start_canvas(const GifImageDesc& first) {
        width_ = gif_->SWidth;
        height_ = gif_->SHeight;
        if (width_ <= 0 || height_ <= 0) {
            width_ = std::int64_t{first.Left} + first.Width;
            height_ = std::int64_t{first.Top} + first.Height;
        }
        if (!picture_size_allowed(width_, height_)) return false;
        canvas_.assign(static_cast<std::size_t>(width_ * height_) * 4, 0);
        return true;
    }

    GifFileType* gif_;
    std::int64_t width_ = 0, height_ = 0;
    std::vector<std::uint8_t> canvas_, previous_;
    std::vector<GifPixelType> line_;
    std::vector<PictureFrame> frames_;
    std::int64_t spent_ = 0;
};

}  // namespace

Picture decode_gif(ByteSpan bytes) {
    Reader reader{bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, read_bytes, &error);
    if (!gif) return {};
    GifCloser closer{gif};
    Composer composer(gif);
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    for (;;) {
        // Many files lack the trailer: data that ends between two records ends the picture.
        if (reader.at == bytes.size() && !composer.empty()) break;
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) return {};
        if (type == TERMINATE_RECORD_TYPE) break;
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR) return {};
            bool out_of_budget = false;
            if (!composer.image(control, &out_of_budget)) return {};
            if (out_of_budget) break;
            control = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        } else if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return {};
            if (code == GRAPHICS_EXT_FUNC_CODE && block) {
                GraphicsControlBlock read{};
                if (DGifExtensionToGCB(block[0], block + 1, &read) == GIF_OK) control = read;
            }
            while (block) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return {};
            }
        } else {
            return {};
        }
    }
    return composer.finish();
}

}  // namespace vidmora::picture_detail
