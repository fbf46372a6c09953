// The host's side of the EEPROM block commands, written out here from the protocol so the
// tests check the radio against it rather than against itself.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline std::string HexBytes(const std::vector<uint8_t>& bytes) {
    std::string out;
    char b[3];
    for (uint8_t v : bytes) {
        std::snprintf(b, sizeof b, "%02X", v);
        out += b;
    }
    return out;
}

inline uint8_t TwosComplementOfSum(const std::vector<uint8_t>& bytes) {
    unsigned sum = 0;
    for (uint8_t b : bytes) sum += b;
    return static_cast<uint8_t>(0x100 - (sum & 0xFF));
}

inline std::string ReadCommand(uint32_t address, uint32_t count) {
    const std::vector<uint8_t> head = {uint8_t(address >> 8), uint8_t(address), uint8_t(count)};
    char text[16];
    std::snprintf(text, sizeof text, "ER%04X%02X%02X;", address, count, TwosComplementOfSum(head));
    return text;
}

inline std::string WriteCommand(uint32_t address, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> all = {uint8_t(address >> 8), uint8_t(address), uint8_t(data.size())};
    all.insert(all.end(), data.begin(), data.end());
    char text[16];
    std::snprintf(text, sizeof text, "EW%04X%02X", address, static_cast<unsigned>(data.size()));
    return text + HexBytes(data) + HexBytes({TwosComplementOfSum(all)}) + ";";
}

inline std::string WriteAck(uint32_t address, uint32_t count) {
    const std::vector<uint8_t> head = {uint8_t(address >> 8), uint8_t(address), uint8_t(count)};
    char text[16];
    std::snprintf(text, sizeof text, "EW%04X%02X%02X;", address, count, TwosComplementOfSum(head));
    return text;
}

// The data bytes of a read answer, after checking its frame and checksum; empty if bad.
inline bool ParseReadAnswer(const std::string& answer, uint32_t address, uint32_t count, std::vector<uint8_t>& data) {
    data.clear();
    if (answer.size() != 11 + 2 * count || answer.compare(0, 2, "ER") != 0 || answer.back() != ';') return false;
    unsigned sum = 0;
    for (size_t i = 2; i + 1 < answer.size(); i += 2) {
        const unsigned v = std::stoul(answer.substr(i, 2), nullptr, 16);
        sum += v;
        const size_t index = (i - 2) / 2;
        if (index == 0 && v != (address >> 8)) return false;
        if (index == 1 && v != (address & 0xFF)) return false;
        if (index == 2 && v != count) return false;
        if (index >= 3 && index < 3 + count) data.push_back(static_cast<uint8_t>(v));
    }
    return (sum & 0xFF) == 0;
}
