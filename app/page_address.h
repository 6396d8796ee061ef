// Where the video pages are: a setting of the build, not of the run.
#pragma once

#include "text/text.h"

namespace vidmora {

// "http://" + the video site's host (VIDMORA_HOST) + "/video/".
Text page_address_prefix();

}  // namespace vidmora
