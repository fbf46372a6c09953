// Feeds arbitrary bytes to the Intel HEX reader three ways: validation without a
// destination, the firmware image build, and a small destination under a window whose
// edges come from the input itself. The input buffer is exactly the input's size and
// the destination sits between guard bytes, so a read past the data or a write outside
// the destination is caught by AddressSanitizer or by the guard check.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "firmware/hex_file_reader.h"
#include "firmware/hex_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        CHexFileReader reader;
        reader.Attach(data, size);
        reader.ClearDestination();
        reader.ReadToEnd();
    }
    {
        CHexImage image;
        if (image.LoadFromMemory(data, size, L"fuzz.hex") && image.Size() != CHexImage::kSize) std::abort();
        if (image.IsLoaded()) (void)image.Checksum();
    }
    if (size >= 4) {
        uint32_t low = 0;
        std::memcpy(&low, data, 4);
        constexpr size_t kGuard = 32, kRoom = 96;
        std::vector<uint8_t> memory(kGuard + kRoom + kGuard, 0x5A);
        CHexFileReader reader;
        reader.Attach(data + 4, size - 4);
        reader.SetDestination(low, low + 0x200, memory.data() + kGuard, memory.data() + kGuard + kRoom);
        reader.ReadToEnd();
        for (size_t i = 0; i < kGuard; ++i)
            if (memory[i] != 0x5A || memory[kGuard + kRoom + i] != 0x5A) std::abort();
    }
    return 0;
}
