#include <cstring>
#include <vector>

#include "aribtext/arib_decoder.h"
#include "fuzz_readers.h"
#include "fuzz_targets.h"

namespace {

constexpr uint8_t kUntouched = 0xA5;

}  // namespace

// The first two bytes give the output capacity (0 to 1023); the rest is the text.
void FuzzAribtext(const uint8_t* data, size_t size)
{
    if (size < 2) return;
    const size_t capacity = (data[0] << 8 | data[1]) & 0x3FF;
    // The input in an allocation of its own and the output exactly as large as said, so a
    // byte read or written outside either is caught.
    std::vector<uint8_t> input(data + 2, data + size);
    std::vector<char> output(capacity + 1, static_cast<char>(kUntouched));
    DecodeAribText(input.data(), input.size(), output.data(), capacity);
    FuzzCheck(static_cast<uint8_t>(output[capacity]) == kUntouched, "write past the capacity");
    if (capacity == 0) return;
    const void* end = std::memchr(output.data(), '\0', capacity);
    FuzzCheck(end != nullptr, "output not terminated within the capacity");
    const size_t length = static_cast<const char*>(end) - output.data();
    FuzzCheck(length + 1 <= capacity, "output longer than capacity - 1");
    // Stateless: the same input decodes to the same text.
    std::vector<char> again(capacity, 0);
    DecodeAribText(input.data(), input.size(), again.data(), capacity);
    FuzzCheck(std::memcmp(output.data(), again.data(), length + 1) == 0, "decoding depends on earlier calls");
}
