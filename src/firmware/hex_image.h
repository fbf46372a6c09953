// CHexImage: the MCU's program address range 0x0800..0xFFFF as the boot loader gets it,
// built from an Intel HEX file. Every byte no data record gives reads 0xFF; records
// outside the range are left out, so nothing outside it ever reaches the radio.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

class CHexFileReader;

class CHexImage {
public:
    static constexpr uint32_t kLow = 0x0800;
    static constexpr uint32_t kHigh = 0x10000;  // exclusive
    static constexpr uint32_t kSize = kHigh - kLow;  // 63488
    static constexpr uint32_t kFill = 0xFFFFFFFFu;
    // The word that makes the image checksum to zero, big-endian.
    static constexpr uint32_t kReconciliationAddress = 0x0804;

    // Empties the image and builds it from the file. On failure returns false with the
    // last error set to the reader's code or the system's code from opening the file,
    // and leaves the image empty; Line() tells where reading stopped either way.
    bool Load(const std::wstring& fileName);
    // The same over bytes already in memory; the name is only remembered.
    bool LoadFromMemory(const uint8_t* data, size_t size, const std::wstring& fileName);
    void Clear();

    // Sum of the image's 31744 big-endian words, modulo 65536.
    uint16_t Checksum() const;

    bool IsLoaded() const { return m_buffer.size() == kSize; }
    uint32_t Size() const { return m_size; }
    uint32_t Low() const { return m_low; }
    uint32_t High() const { return m_high; }
    uint32_t Fill() const { return m_fill; }
    const std::wstring& FileName() const { return m_fileName; }
    unsigned Line() const { return m_line; }

    // By MCU address; the address must lie in low..high.
    uint8_t At(uint32_t address) const { return m_buffer[address - m_low]; }
    void Put(uint32_t address, uint8_t value) { m_buffer[address - m_low] = value; }
    const uint8_t* Bytes() const { return m_buffer.data(); }

private:
    bool Build(CHexFileReader& reader);

    uint32_t m_size = 0;
    uint32_t m_fill = kFill;
    std::vector<uint8_t> m_buffer;
    uint32_t m_high = kHigh;
    uint32_t m_low = kLow;
    std::wstring m_fileName;
    unsigned m_line = 0;
};
