#include "app/cover_lookup.h"

namespace vidmora {

// Filled by the lookup: fetch the page, cut out the cover address, show address and picture.
void cover_lookup() {}

}  // namespace vidmora
