#include "hostile_script.h"

#include <algorithm>

CHostileScript::CHostileScript(const uint8_t* data, size_t size) : m_data(data), m_size(size) {
    const uint8_t first = Byte();
    m_start.machine = HostileMachine((first & 7) % int(HostileMachine::Count));
    m_start.trace = (first & 0x08) != 0;
    m_start.knownBootLoader = (first & 0x10) != 0;
}

std::string CHostileScript::Bytes(size_t count) {
    count = std::min(count, m_size - m_pos);
    std::string bytes(reinterpret_cast<const char*>(m_data + m_pos), count);
    m_pos += count;
    return bytes;
}

std::vector<CHostilePiece> CHostileScript::NextAnswer() {
    if (m_repeatLeft > 0) {
        --m_repeatLeft;
        return {{1, m_repeat}};
    }
    if (m_pos >= m_size) return {};
    const uint8_t control = Byte();
    switch (control & 3) {
    case 0: {
        const uint32_t delay = (control >> 2) * kStepMs + 1;
        std::string bytes = Bytes(Byte());
        if (bytes.empty()) return {};
        return {{delay, std::move(bytes)}};
    }
    case 1: {
        const uint8_t shape = Byte();
        const size_t pieceSize = (shape & 15) + 1;
        const uint32_t gap = (shape >> 4) * kPieceGapStepMs;
        const std::string bytes = Bytes(Byte());
        std::vector<CHostilePiece> pieces;
        for (size_t at = 0; at < bytes.size(); at += pieceSize)
            pieces.push_back({pieces.empty() ? 1 : gap, bytes.substr(at, pieceSize)});
        return pieces;
    }
    case 2:
        return {};
    default: {
        m_repeatLeft = size_t(Byte()) * 4;
        m_repeat = Bytes(Byte());
        if (m_repeat.empty()) m_repeatLeft = 0;
        if (m_repeat.empty()) return {};
        return {{1, m_repeat}};
    }
    }
}

namespace HostileScriptWriter {

std::string Header(const CHostileStart& start) {
    uint8_t first = uint8_t(start.machine);
    if (start.trace) first |= 0x08;
    if (start.knownBootLoader) first |= 0x10;
    return std::string(1, char(first));
}

std::string Answer(const std::string& bytes, uint32_t delayMs) {
    std::string out;
    const uint32_t steps = std::min<uint32_t>(delayMs / CHostileScript::kStepMs, 63);
    out += char(steps << 2);
    out += char(std::min<size_t>(bytes.size(), 255));
    out += bytes.substr(0, 255);
    return out;
}

std::string Silence() { return std::string(1, char(2)); }

std::string Repeat(const std::string& bytes, size_t extraWrites) {
    std::string out;
    out += char(3);
    out += char(std::min<size_t>(extraWrites / 4, 255));
    out += char(std::min<size_t>(bytes.size(), 255));
    out += bytes.substr(0, 255);
    return out;
}

}  // namespace HostileScriptWriter
