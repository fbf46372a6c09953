#include "firmware/loader_states.h"

namespace Loader {

std::wstring PacketHex(const uint8_t* packet, size_t size) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    text.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        text.push_back(kDigits[packet[i] >> 4]);
        text.push_back(kDigits[packet[i] & 0x0F]);
    }
    return text;
}

}  // namespace Loader
