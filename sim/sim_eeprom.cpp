#include "sim/sim_eeprom.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

struct Range { uint32_t first, last; };
constexpr Range kWritable[] = {
    {0x0000, 0x00BF}, {0x00C2, 0x00FA}, {0x0100, 0x01FF}, {0x0200, 0x02FF}, {0x0300, 0x03FF},
};

const char kFactoryBanner[] = "ZR8 HF";

}  // namespace

CSimEeprom::CSimEeprom() : m_bytes(kSize, 0xFF) {
    // A radio fresh from the factory: a varied configuration area, so that a saved file
    // shows real data, the two protected words holding calibration, and a short banner.
    for (uint32_t a = 0; a < kBannerAddress; ++a) m_bytes[a] = static_cast<uint8_t>((a * 37 + 11) & 0xFF);
    for (uint32_t i = 0; i < 16; ++i) m_bytes[kBannerAddress + i] = 0xFF;
    for (uint32_t i = 0; kFactoryBanner[i]; ++i) m_bytes[kBannerAddress + i] = static_cast<uint8_t>(kFactoryBanner[i]);
    m_bytes[kBannerAddress + sizeof kFactoryBanner - 1] = 0;
}

bool CSimEeprom::IsWritable(uint32_t address, uint32_t count) {
    if (count == 0) return false;
    const uint64_t last = uint64_t(address) + count - 1;
    for (const Range& r : kWritable)
        if (address >= r.first && last <= r.last) return true;
    return false;
}

bool CSimEeprom::IsInside(uint32_t address, uint32_t count) { return uint64_t(address) + count <= kSize; }

void CSimEeprom::Fill(uint32_t address, const std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i < bytes.size() && address + i < kSize; ++i) m_bytes[address + i] = bytes[i];
}

void CSimEeprom::Write(uint32_t address, const uint8_t* bytes, uint32_t count) {
    CEepromWrite entry{address, {}};
    for (uint32_t i = 0; i < count && address + i < kSize; ++i) {
        m_bytes[address + i] = bytes[i];
        entry.bytes.push_back(bytes[i]);
    }
    if (!m_logFile.empty()) {
        if (FILE* f = std::fopen(m_logFile.c_str(), "a")) {
            std::fprintf(f, "%04X %u ", static_cast<unsigned>(address), static_cast<unsigned>(entry.bytes.size()));
            for (uint8_t b : entry.bytes) std::fprintf(f, "%02X", b);
            std::fprintf(f, "\n");
            std::fclose(f);
        }
    }
    m_log.push_back(std::move(entry));
}

bool CSimEeprom::Load(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open EEPROM file " + path;
        return false;
    }
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() > kSize) {
        error = "EEPROM file " + path + " is larger than 0x8400 bytes";
        return false;
    }
    m_bytes.assign(kSize, 0xFF);
    std::copy(data.begin(), data.end(), m_bytes.begin());
    return true;
}

bool CSimEeprom::Save(const std::string& path, std::string& error) const {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(m_bytes.data()), static_cast<std::streamsize>(m_bytes.size()));
        if (!out) {
            error = "cannot write EEPROM file " + temporary;
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(path.c_str());  // Windows will not rename over an existing file
        if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            error = "cannot replace EEPROM file " + path;
            return false;
        }
    }
    return true;
}
