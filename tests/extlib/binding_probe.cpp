// A small program that the binding tests start in a folder of their choice:
//   binding_probe init        prints what InitDecompression returns
//   binding_probe decompress  prints "started", then decodes a small gzip body
//   binding_probe bind N      binds entry N, then prints "bound"
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "extlib/external_table.h"
#include "extlib/gzip_decompress.h"
#include "platform/gzip/gzip_library.h"
#include "tests/platform/gzip/zlib_reference.h"

int main(int argc, char** argv) {
    using namespace vidmora;
    if (argc >= 2 && std::strcmp(argv[1], "init") == 0) {
        std::printf("%d\n", external<gzip::InitDecompressionFn>(kInitDecompression)());
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "decompress") == 0) {
        std::printf("started\n");
        std::fflush(stdout);
        const auto page = testing::gzip_with_zlib(testing::bytes_of("<html>page</html>"));
        const Bytes result = gzip_decompress(Bytes(page.begin(), page.end()));
        std::printf("%zu\n", result.size());
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "bind") == 0) {
        bind_external(std::atoi(argv[2]));
        std::printf("bound\n");
        return 0;
    }
    return 2;
}
