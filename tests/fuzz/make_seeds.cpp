// Writes the seed corpora of the fuzz targets: OUTDIR/<target>/..., made by the sample
// generator and from the real captures.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/packetizer.h"
#include "support/sample_stream.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const Bytes& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

Bytes Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Intake inputs: a block-size byte, then packets. Only service-information packets of the
// sample are kept so that every seed is dense in what the intake reads.
void IntakeSeeds(const fs::path& out)
{
    Bytes sample = MakeSampleStream();
    std::vector<Bytes> si;
    for (size_t p = 0; p + 188 <= sample.size(); p += 188) {
        const unsigned pid = (sample[p + 1] & 0x1F) << 8 | sample[p + 2];
        if (pid >= 0x10 && pid <= 0x14) si.emplace_back(sample.begin() + static_cast<long>(p), sample.begin() + static_cast<long>(p + 188));
    }
    int n = 0;
    for (size_t i = 0; i < si.size(); i += 24) {
        Bytes seed{187};  // whole blocks of one packet
        for (size_t k = i; k < si.size() && k < i + 24; ++k) AppendBytes(seed, si[k]);
        Write(out / "intake" / ("sample" + std::to_string(n++)), seed);
    }
    const fs::path real = fs::path(LUMARA_SOURCE_DIR) / "tests/data/realdata";
    for (const char* name : {"test-101.ts", "test-181.ts", "test-186.1.ts"}) {
        Bytes capture = Read(real / name);
        for (size_t i = 0; i < capture.size(); i += 64 * 188) {
            Bytes seed{255};
            seed.insert(seed.end(), capture.begin() + static_cast<long>(i),
                        capture.begin() + static_cast<long>(std::min(capture.size(), i + 64 * 188)));
            Write(out / "intake" / (std::string(name) + "." + std::to_string(i / (64 * 188))), seed);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumara-fuzz-seeds OUTDIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    IntakeSeeds(out);
    return 0;
}
