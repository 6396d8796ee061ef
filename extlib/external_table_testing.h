// Test seam of the external function table: look at an entry, and unbind every entry so that
// a test can watch a first binding again.
#pragma once

#include <cstdint>

#include "extlib/external_table.h"

namespace vidmora {

// The entry at `index` (0 to kExternalCount - 1) as it stands.
const ExternalFunction& external_entry(std::int32_t index);

// Releases every library an entry holds and leaves all entries unbound, as at start-up.
void reset_external_table();

}  // namespace vidmora
