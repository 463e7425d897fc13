// libFuzzer entry point; LUMARA_FUZZ_TARGET names the target's body.
#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LUMARA_FUZZ_TARGET(data, size);
    return 0;
}
