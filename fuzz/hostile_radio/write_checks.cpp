#include "write_checks.h"

#include <cstring>

#include "config/config_format.h"
#include "config/restore_records.h"
#include "core/statemachine/eeprom_block.h"
#include "firmware/hex_image.h"
#include "firmware/mcu_loader_state_machine.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // the program writes upper case only
}

bool HexByte(const std::string& text, size_t at, int& value) {
    if (at + 2 > text.size()) return false;
    const int high = HexValue(text[at]), low = HexValue(text[at + 1]);
    if (high < 0 || low < 0) return false;
    value = high * 16 + low;
    return true;
}

}  // namespace

std::string CWriteChecks::Check(const std::string& written) const {
    if (written.size() == Loader::kPacketSize) return CheckPacket(written);
    if (written.compare(0, 2, "EW") == 0) return CheckBlockWrite(written);
    if (written.find("EW") != std::string::npos) return "a block write inside another write: " + written;
    return {};
}

std::string CWriteChecks::CheckPacket(const std::string& text) const {
    if (m_machine != HostileMachine::Loader || !m_image) return "a 68-byte write from a machine that loads nothing";
    const auto* packet = reinterpret_cast<const uint8_t*>(text.data());
    const uint32_t address = (uint32_t(packet[65]) << 8) | packet[64];  // low byte first
    const uint8_t kind = packet[66];
    if (address < CHexImage::kLow || address + Loader::kPacketDataSize > CHexImage::kHigh || address % 64 != 0)
        return "a packet for an address outside the image: " + std::to_string(address);
    if (kind != 0 && !(kind == CMcuLoaderStateMachine::kFinalAddressByte && address == CHexImage::kLow))
        return "a packet of an unknown kind";
    uint8_t sum = 0;
    for (uint8_t b : std::string_view(text)) sum = uint8_t(sum + b);
    if (sum != 0) return "a packet whose bytes do not sum to zero";
    for (uint32_t i = 0; i < Loader::kPacketDataSize; ++i) {
        const bool marker = address == CHexImage::kLow && kind == 0 && i < 2;
        const uint8_t expected = marker ? CMcuLoaderStateMachine::kMarker[i] : m_image->At(address + i);
        if (packet[i] != expected) return "a packet whose data differ from the image";
    }
    return {};
}

std::string CWriteChecks::CheckBlockWrite(const std::string& command) const {
    int addressHigh, addressLow, count;
    if (!HexByte(command, 2, addressHigh) || !HexByte(command, 4, addressLow) || !HexByte(command, 6, count))
        return "a malformed block write: " + command;
    const uint32_t address = uint32_t(addressHigh) << 8 | uint32_t(addressLow);
    if (command.size() != 8 + 2 * size_t(count) + 3 || command.back() != ';')
        return "a block write whose length does not match its count: " + command;
    if (count == 0 || !EepromBlock::IsWritable(address, count))
        return "a block write outside the writable ranges: " + command;
    uint8_t data[64];
    for (int i = 0; i < count; ++i) {
        int value;
        if (!HexByte(command, 8 + 2 * size_t(i), value)) return "a malformed block write: " + command;
        data[i] = uint8_t(value);
    }
    switch (m_machine) {
    case HostileMachine::Restore:
        if (!m_records) return "a block write without records";
        for (int i = 0; i < count; ++i) {
            const uint32_t at = address + uint32_t(i);
            if (!ConfigFormat::IsRestorable(at)) return "a restore wrote a byte the radio keeps: " + command;
            bool found = false;
            for (size_t r = 0; r < m_records->Count() && !found; ++r) {
                const CRestoreBlockRecord& record = m_records->At(r);
                if (record.page == (at >> 8) && (at & 0xFF) >= record.first && (at & 0xFF) <= record.last)
                    found = record.data[at & 0xFF] == data[i];
            }
            if (!found) return "a restore wrote a byte the file does not hold: " + command;
        }
        return {};
    case HostileMachine::BannerWrite:
        if (address < 0x3F0 || address + count > 0x400) return "a banner write outside the banner: " + command;
        for (int i = 0; i < count; ++i) {
            const size_t at = address - 0x3F0 + size_t(i);
            const uint8_t expected = at < m_bannerBytes.size() ? uint8_t(m_bannerBytes[at]) : 0;
            if (data[i] != expected) return "a banner write of other bytes than the text: " + command;
        }
        return {};
    default:
        return "a block write from a machine that writes no EEPROM: " + command;
    }
}
