#include "app/cover_lookup.h"

#include <chrono>
#include <thread>

#include "app/controls.h"
#include "app/page_address.h"
#include "extlib/gzip_decompress.h"
#include "text/markers.h"
#include "text/text.h"
#include "web/download_bytes.h"
#include "web/web_request.h"

namespace vidmora {
namespace {

// The page names its cover in an image tag of its own; the left marker ends with the
// address's scheme, which is put back afterwards.
constexpr std::string_view kLeftMarker = "<img src=\"http://";
constexpr std::string_view kRightMarker = "\" style=\"display:none;\" class=\"cover_image\"/>";
constexpr std::string_view kScheme = "http://";
constexpr std::chrono::milliseconds kPause{2000};

}  // namespace

// Every step takes the result of the one before and none is skipped: a failure anywhere shows
// only as "http://" alone in 编辑框2, an empty preview, or both.
void cover_lookup() {
    const Text number = get_text(EditBox::kEditBox1);  // as typed: not trimmed, not checked
    const Text page_address = join_text(page_address_prefix(), number);
    {
        // The fetched and the decoded bytes go as soon as the box holds the page: a page can
        // decode to gigabytes, and the box's text is read back as a copy below.
        const Bytes page_body = web_request(page_address);
        const Bytes page = gzip_decompress(page_body);
        set_text(EditBox::kEditBox2, bytes_to_text(page));
    }

    // The window's thread sleeps: no message is handled, the window stays as it is.
    std::this_thread::sleep_for(kPause);

    // The address is cut from the text as the box holds it, not from the page.
    const Text shown_page = get_text(EditBox::kEditBox2);
    const Text address_part = text_between(shown_page, Text(kLeftMarker), Text(kRightMarker));
    set_text(EditBox::kEditBox2, join_text(kScheme, address_part));

    const Bytes image = download_bytes(get_text(EditBox::kEditBox2));
    set_picture(PictureBox::kPictureBox1, image);
}

}  // namespace vidmora
