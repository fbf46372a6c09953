// Boot-loader packets as the program builds them: 64 image bytes (the marker 0xDE 0xAD in
// the first two of the first packet), the address in three bytes (the third is 2 in the
// final packet) and a checksum that makes all 68 bytes sum to zero.
#pragma once

#include <cstdint>
#include <vector>

constexpr uint32_t kImageLow = 0x0800;

inline std::vector<uint8_t> SealPacket(std::vector<uint8_t> p) {
    unsigned sum = 0;
    for (size_t i = 0; i < 67; ++i) sum += p[i];
    p[67] = static_cast<uint8_t>(0x100 - (sum & 0xFF));
    return p;
}

inline std::vector<uint8_t> BuildPacket(const std::vector<uint8_t>& image, uint32_t address, bool final = false) {
    std::vector<uint8_t> p(68, 0);
    for (uint32_t i = 0; i < 64; ++i) p[i] = image[address - kImageLow + i];
    if (address == kImageLow && !final) {
        p[0] = 0xDE;
        p[1] = 0xAD;
    }
    p[64] = static_cast<uint8_t>(address & 0xFF);
    p[65] = static_cast<uint8_t>((address >> 8) & 0xFF);
    p[66] = final ? 2 : static_cast<uint8_t>((address >> 16) & 0xFF);
    return SealPacket(p);
}
