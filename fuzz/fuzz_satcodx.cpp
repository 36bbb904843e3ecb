#include "tplist/satcodxconversion.h"
#include "tplist/tpbuildstate.h"

#include <cstdint>
#include <cstdio>
#include <vector>

// Feeds arbitrary bytes as a SatcoDX file through both conversion passes, and as one line to the parser.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TpBuildState state;
    static std::FILE* sink = std::fopen("/dev/null", "wb");
    std::vector<char> bytes(data, data + size);
    SatcoDxRecord record;
    (void)ParseSatcoDxLine(bytes.data(), bytes.size(), record);
    if (size == 0)
        return 0;
    std::FILE* in = fmemopen(bytes.data(), bytes.size(), "rb");
    if (!in)
        return 0;
    char heading[kSatcoDxLineLimit + 1];
    // The passes of one input carry the last frequency over; inputs stay independent of each other.
    state.lastFreq = 0;
    for (int pass = 0; pass < 2 && ReadSatcoDxLine(in, heading) >= 0; ++pass) {
        (void)ConvertSatcoDxPass(in, sink, pass == 0 ? 'C' : 'K', pass, state);
        std::rewind(in);
    }
    std::fclose(in);
    return 0;
}
