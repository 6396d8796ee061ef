// Opening a text with the desktop's handler for it (verb "open", a normally shown window),
// the way a user double-clicks a link: the handler runs on by itself.
#pragma once

#include "text/text.h"

namespace vidmora {

// A top-level window of the program, or null for none. On Linux the opener has no use for it.
using ShellOwner = void*;

// Hands `target` (GBK) to the desktop's opener as its single argument, never through a command
// shell, and returns at once without waiting for the opener. False when the opener could not
// be started; the caller may ignore it.
bool shell_open(ShellOwner owner, const Text& target);

// Test seam: the program started instead of the desktop's opener (empty: the default).
void set_shell_program(const Text& program);

}  // namespace vidmora
