#include "sim/sim_flash.h"

#include <cstring>
#include <fstream>

#include "sim/firmware_gen.h"

void CSimFlash::WriteBlock(uint32_t address, const uint8_t* bytes) {
    if (address < kLow || address + kBlock > kHigh) return;
    std::memcpy(&m_bytes[address - kLow], bytes, kBlock);
    ++m_blocksWritten;
}

int CSimFlash::TaggedVersion() const { return FindFirmwareVersionTag(m_bytes); }

bool CSimFlash::Dump(const std::string& path, std::string& error) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(m_bytes.data()), static_cast<std::streamsize>(m_bytes.size()));
    if (!out) {
        error = "cannot write flash dump " + path;
        return false;
    }
    return true;
}
