#include "sim/app_firmware.h"

#include <cstdio>
#include <vector>

namespace {

const char kUnknown[] = "?;";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Parses count bytes of hexadecimal text at text[at]; false on any non-digit.
bool ParseHexBytes(const std::string& text, size_t at, size_t count, std::vector<uint8_t>& out) {
    if (at + 2 * count > text.size()) return false;
    for (size_t i = 0; i < count; ++i) {
        const int hi = HexDigit(text[at + 2 * i]);
        const int lo = HexDigit(text[at + 2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return true;
}

void AppendHex(std::string& out, uint8_t byte) {
    static const char digits[] = "0123456789ABCDEF";
    out += digits[byte >> 4];
    out += digits[byte & 0x0F];
}

uint8_t SumOf(const std::vector<uint8_t>& bytes) {
    uint8_t sum = 0;
    for (uint8_t b : bytes) sum = static_cast<uint8_t>(sum + b);
    return sum;
}

// The radio works on whole pages: a block may not cross a 256-byte boundary.
bool FitsInPage(uint32_t address, uint32_t count) { return (address >> 8) == ((address + count - 1) >> 8); }

}  // namespace

CAppFirmware::CAppFirmware(CSimEeprom& eeprom, CSimFaults& faults, uint16_t serialNumber)
    : m_eeprom(eeprom), m_faults(faults), m_serialNumber(serialNumber) {}

void CAppFirmware::Start(uint16_t version) {
    m_version = version;
    m_textTerminal = true;
    m_overflow = false;
    m_command.clear();
}

CRadioAction CAppFirmware::Receive(uint8_t byte) {
    // Line ends between commands are what a terminal program sends; the radio skips them.
    if (byte == '\r' || byte == '\n') return {};
    if (byte != ';') {
        if (m_command.size() < kMaxCommand) m_command += static_cast<char>(byte);
        else m_overflow = true;
        return {};
    }
    std::string command;
    command.swap(m_command);
    const bool overflow = m_overflow;
    m_overflow = false;
    if (overflow) return {kUnknown};
    return Execute(command);
}

CRadioAction CAppFirmware::Execute(const std::string& command) {
    char text[32];
    if (command == "I") return {"ZR8;"};
    if (command == "RV") {
        std::snprintf(text, sizeof text, "RV%02u.%02u;", m_version / 100u, m_version % 100u);
        return {text};
    }
    if (command == "SN") {
        std::snprintf(text, sizeof text, "SN%05u;", static_cast<unsigned>(m_serialNumber));
        return {text};
    }
    if (command == "TT0" || command == "TT1") {
        m_textTerminal = command[2] == '1';
        return {};
    }
    if (command == "LD") {
        CRadioAction action;
        action.then = CRadioAction::Then::EnterBootLoader;
        return action;
    }
    if (command.compare(0, 2, "ER") == 0) return ReadBlock(command);
    if (command.compare(0, 2, "EW") == 0) return WriteBlock(command);
    return {kUnknown};
}

// "ER" aaaa cc ss: answered "ER" aaaa cc data ss.
CRadioAction CAppFirmware::ReadBlock(const std::string& command) {
    std::vector<uint8_t> head;
    if (command.size() != 10 || !ParseHexBytes(command, 2, 4, head) || SumOf(head) != 0) return {kUnknown};
    const uint32_t address = (uint32_t(head[0]) << 8) | head[1];
    const uint32_t count = head[2];
    if (count == 0 || count > 64 || !FitsInPage(address, count) || !CSimEeprom::IsInside(address, count))
        return {kUnknown};

    std::vector<uint8_t> body = {head[0], head[1], head[2]};
    std::string reply = "ER";
    for (uint8_t b : body) AppendHex(reply, b);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t b = m_eeprom.At(address + i);
        body.push_back(b);
        AppendHex(reply, b);
    }
    uint8_t checksum = static_cast<uint8_t>(0x100 - SumOf(body));
    if (m_faults.TakeBadChecksum(++m_reads, address)) checksum = static_cast<uint8_t>(checksum + 1);
    AppendHex(reply, checksum);
    reply += ';';
    return {reply};
}

// "EW" aaaa cc data ss: answered "EW" aaaa cc ss, once the bytes are in.
CRadioAction CAppFirmware::WriteBlock(const std::string& command) {
    std::vector<uint8_t> head;
    if (command.size() < 8 || !ParseHexBytes(command, 2, 3, head)) return {kUnknown};
    const uint32_t address = (uint32_t(head[0]) << 8) | head[1];
    const uint32_t count = head[2];
    std::vector<uint8_t> all = head;
    if (command.size() != 10 + 2 * count || !ParseHexBytes(command, 8, count + 1, all) || SumOf(all) != 0)
        return {kUnknown};
    if (count == 0 || count > 64 || !FitsInPage(address, count) || !CSimEeprom::IsWritable(address, count))
        return {kUnknown};

    const uint8_t* data = all.data() + 3;
    const int written = m_faults.TakePowerLoss(++m_writes, address, count);
    if (written >= 0) {
        if (written > 0) m_eeprom.Write(address, data, static_cast<uint32_t>(written));
        CRadioAction action;
        action.then = CRadioAction::Then::PowerLoss;
        return action;
    }
    m_eeprom.Write(address, data, count);

    std::string reply = "EW";
    for (uint8_t b : head) AppendHex(reply, b);
    AppendHex(reply, static_cast<uint8_t>(0x100 - SumOf(head)));
    reply += ';';
    return {reply};
}
