// Writes the deterministic sample stream to the file named on the command line.
#include <cstdio>

#include "support/sample_stream.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumara-make-sample OUTPUT.ts\n");
        return 2;
    }
    Bytes stream = MakeSampleStream();
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(stream.data(), 1, stream.size(), f) != stream.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "lumara-make-sample: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("wrote %zu packets to %s\n", stream.size() / 188, argv[1]);
    return 0;
}
