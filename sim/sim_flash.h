// The MCU's program memory as the boot loader writes it: 0x0800-0xFFFF, erased to 0xFF.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CSimFlash {
public:
    static constexpr uint32_t kLow = 0x0800;
    static constexpr uint32_t kHigh = 0x10000;  // exclusive
    static constexpr uint32_t kBlock = 64;

    CSimFlash() : m_bytes(kHigh - kLow, 0xFF) {}

    void Erase() { m_bytes.assign(kHigh - kLow, 0xFF); }
    void WriteBlock(uint32_t address, const uint8_t* bytes);  // kBlock bytes
    uint8_t At(uint32_t address) const { return m_bytes[address - kLow]; }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }  // [0] is 0x0800
    uint32_t BlocksWritten() const { return m_blocksWritten; }

    // The load was cut short when the first word still holds the boot loader's marker.
    bool HoldsMarker() const { return m_bytes[0] == 0xDE && m_bytes[1] == 0xAD; }
    // The version a synthetic firmware image names in its tag, or -1.
    int TaggedVersion() const;

    // The raw image, 63488 bytes, address 0x0800 first.
    bool Dump(const std::string& path, std::string& error) const;

private:
    std::vector<uint8_t> m_bytes;
    uint32_t m_blocksWritten = 0;
};
