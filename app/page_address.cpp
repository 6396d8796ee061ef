// Compiled into each program with that program's VIDMORA_HOST, so the rest of the window code
// is built once for all of them.
#include "app/page_address.h"

#ifndef VIDMORA_HOST
#error "VIDMORA_HOST names the video site's host, e.g. -DVIDMORA_HOST=\"www.vidmora.com\""
#endif

namespace vidmora {

Text page_address_prefix() {
    return "http://" VIDMORA_HOST "/video/";
}

}  // namespace vidmora
