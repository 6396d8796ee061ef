#include "app/preview_click.h"

#include "app/controls.h"
#include "app/message_box.h"
#include "platform/shell.h"

namespace vidmora {
namespace {

constexpr std::string_view kNoCoverMessage = "亲，目前还没有封面哦！\r\n输入一个AV号试试吧！";
constexpr std::string_view kNoCoverTitle = "不要乱点人家嘛";
// The browser window that, where it is open, owns the shell's request.
constexpr std::string_view kBrowserTitle = "Microsoft Internet Explorer";

}  // namespace

void preview_click(std::int32_t /*x*/, std::int32_t /*y*/, std::int32_t /*keys*/) {
    if (get_text(EditBox::kEditBox2).empty()) {
        show_message_box(nullptr, kNoCoverMessage, kNoCoverTitle, kMbOk | kMbTaskModal);
        return;
    }
    // Whatever the box holds goes to the shell as it is: an address, "http://" alone after a
    // failed lookup, or anything the user typed.
    Text target = get_text(EditBox::kEditBox2);
    shell_open(find_top_level_window(kBrowserTitle), target);
}

}  // namespace vidmora
