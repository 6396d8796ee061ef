// Message boxes and the lookup of top-level windows by title, for the handlers.
#pragma once

#include <cstdint>
#include <string_view>

namespace vidmora {

// A top-level window of the program; null means none.
using WindowHandle = void*;

// The message box flags the program uses, with their Windows values.
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbTaskModal = 0x2000;
inline constexpr int kIdOk = 1;

// Shows a box with one OK button and waits until the user closes it. Texts are UTF-8 (they
// only go to the screen); "\r\n" breaks a line. Task-modal: while it is open no window of the
// program takes input. Gives the button pressed (kIdOk).
int show_message_box(WindowHandle owner, std::string_view text, std::string_view title,
                     std::uint32_t flags);

// Test seam: a function that answers every box instead of the user (null: real boxes).
using MessageBoxAnswer = int (*)(WindowHandle owner, std::string_view text, std::string_view title,
                                 std::uint32_t flags);
void set_message_box_answer(MessageBoxAnswer answer);

// A top-level window of the program with exactly this title (UTF-8), or null.
WindowHandle find_top_level_window(std::string_view title);

}  // namespace vidmora
