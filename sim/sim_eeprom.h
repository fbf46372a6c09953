// The radio's EEPROM: 0x8400 bytes. The configuration area is 0x000-0x3FF, of which the
// radio lets the host write only 0x000-0x0BF, 0x0C2-0x0FA and 0x100-0x3FF; the banner is
// the last 16 bytes of it. Every write is logged so a test can prove what was touched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CEepromWrite {
    uint32_t address;
    std::vector<uint8_t> bytes;
};

class CSimEeprom {
public:
    static constexpr uint32_t kSize = 0x8400;
    static constexpr uint32_t kBannerAddress = 0x3F0;

    CSimEeprom();  // the factory contents (see docs/simulator.md)

    static bool IsWritable(uint32_t address, uint32_t count);  // whole block in one range
    static bool IsInside(uint32_t address, uint32_t count);    // address + count <= kSize

    uint8_t At(uint32_t address) const { return m_bytes[address]; }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    void Fill(uint32_t address, const std::vector<uint8_t>& bytes);  // no log: test set-up
    void Write(uint32_t address, const uint8_t* bytes, uint32_t count);  // logged
    const std::vector<CEepromWrite>& WriteLog() const { return m_log; }

    // A file shorter than the EEPROM fills the rest with 0xFF; a longer one is an error.
    bool Load(const std::string& path, std::string& error);
    bool Save(const std::string& path, std::string& error) const;  // temporary file, then rename
    // Appends one line per write: address, count and bytes in hexadecimal.
    void SetLogFile(const std::string& path) { m_logFile = path; }

private:
    std::vector<uint8_t> m_bytes;
    std::vector<CEepromWrite> m_log;
    std::string m_logFile;
};
