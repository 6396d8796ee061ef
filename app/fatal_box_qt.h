// The fatal error box of the Qt window.
#pragma once

#include <string_view>

namespace vidmora {

// Shows the message in a box with no owner, the title "错误", the error icon and one OK
// button, and returns when the user closes it. Where no box can be shown (no widget
// application, or not on its thread) the message goes to standard error. Installed with
// set_fatal_reporter; fatal_error then ends the process.
void report_fatal_in_box(std::string_view message);

}  // namespace vidmora
