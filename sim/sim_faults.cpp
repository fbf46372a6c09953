#include "sim/sim_faults.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool ParseNumber(const std::string& text, int base, uint64_t& value) {
    if (text.empty()) return false;
    size_t start = 0;
    if (base == 16 && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) start = 2;
    if (start == text.size()) return false;
    uint64_t v = 0;
    for (size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        v = v * base + digit;
        if (v > 0xFFFFFFFFull) return false;
    }
    value = v;
    return true;
}

// "5", "last" or "@0x1000" (a hexadecimal address, with or without 0x).
bool ParsePacket(const std::string& text, uint32_t& packet) {
    if (text == "last") {
        packet = CSimFaults::kFinalPacket;
        return true;
    }
    uint64_t v;
    if (!text.empty() && text[0] == '@') {
        if (!ParseNumber(text.substr(1), 16, v)) return false;
        packet = CSimFaults::PacketNumber(static_cast<uint32_t>(v));
        return packet != 0;
    }
    if (!ParseNumber(text, 10, v) || v == 0 || v > CSimFaults::kFinalPacket) return false;
    packet = static_cast<uint32_t>(v);
    return true;
}

// Splits "A<sep>B" at the last separator; B empty when there is none.
void SplitLast(const std::string& text, char sep, std::string& a, std::string& b) {
    const size_t at = text.rfind(sep);
    if (at == std::string::npos) {
        a = text;
        b.clear();
    } else {
        a = text.substr(0, at);
        b = text.substr(at + 1);
    }
}

bool ParseCountOrAddress(const std::string& text, CCountOrAddress& out) {
    uint64_t v;
    if (!text.empty() && text[0] == '@') {
        if (!ParseNumber(text.substr(1), 16, v) || v >= 0x8400) return false;
        out.byAddress = true;
    } else {
        if (!ParseNumber(text, 10, v) || v == 0) return false;
        out.byAddress = false;
    }
    out.value = static_cast<uint32_t>(v);
    return true;
}

bool Matches(const CCountOrAddress& at, uint64_t count, uint32_t address) {
    return at.byAddress ? at.value == address : at.value == count;
}

}  // namespace

uint32_t CSimFaults::PacketNumber(uint32_t address) {
    if (address < 0x0800 || address > 0xFFC0 || address % 64 != 0) return 0;
    return (address - 0x0800) / 64 + 1;
}

bool CSimFaults::Add(const std::string& spec, std::string& error) {
    const size_t eq = spec.find('=');
    const std::string name = spec.substr(0, eq);
    const std::string value = eq == std::string::npos ? std::string() : spec.substr(eq + 1);
    error.clear();
    uint64_t n = 0;
    std::string a, b;

    auto bad = [&]() {
        error = "bad value in fault \"" + spec + "\"";
        return false;
    };

    if (name == "drop-reply") {
        if (!ParseNumber(value, 10, n) || n == 0) return bad();
        m_dropReplies.push_back(n);
    } else if (name == "drop-packet-reply" || name == "refuse-packet" || name == "answer-c") {
        CPacketFault fault{PacketFaultKind::Refuse, 0, 1};
        if (name == "drop-packet-reply") {
            fault.kind = PacketFaultKind::DropReply;
            if (!ParsePacket(value, fault.packet)) return bad();
        } else {
            fault.kind = name == "answer-c" ? PacketFaultKind::AnswerC : PacketFaultKind::Refuse;
            // The packet may itself be "@0x1000", so the count follows the last 'x' only
            // when what comes after it is a plain number.
            SplitLast(value, 'x', a, b);
            if (!b.empty() && ParseNumber(b, 10, n) && ParsePacket(a, fault.packet)) {
                if (n == 0) return bad();
                fault.times = static_cast<uint32_t>(n);
            } else if (!ParsePacket(value, fault.packet)) {
                return bad();
            }
        }
        m_packetFaults.push_back(fault);
    } else if (name == "late") {
        SplitLast(value, '@', a, b);
        uint64_t reply = 0;
        if (!ParseNumber(a, 10, n)) return bad();
        if (value.find('@') != std::string::npos && (!ParseNumber(b, 10, reply) || reply == 0)) return bad();
        m_late.push_back({static_cast<uint32_t>(n), reply});
    } else if (name == "garbage") {
        SplitLast(value, 'x', a, b);
        uint64_t length = 8;
        if (!ParseNumber(a, 10, n) || n == 0) return bad();
        if (value.find('x') != std::string::npos && (!ParseNumber(b, 10, length) || length == 0 || length > 4096)) return bad();
        m_garbage.push_back({n, static_cast<uint32_t>(length)});
    } else if (name == "bad-checksum") {
        CCountOrAddress at;
        if (!ParseCountOrAddress(value, at)) return bad();
        m_badChecksums.push_back(at);
    } else if (name == "silent") {
        if (!ParseNumber(value, 10, n)) return bad();
        m_silent = true;
        m_silentAfter = n;
    } else if (name == "vanish") {
        if (!ParseNumber(value, 10, n) || n == 0) return bad();
        m_vanishAfter = n;
    } else if (name == "power-loss") {
        SplitLast(value, ':', a, b);
        PowerLoss loss{{}, -1};
        if (!ParseCountOrAddress(a, loss.at)) return bad();
        if (value.find(':') != std::string::npos) {
            if (!ParseNumber(b, 10, n) || n > 64) return bad();
            loss.bytes = static_cast<int>(n);
        }
        m_powerLosses.push_back(loss);
    } else if (name == "other-rate") {
        if (!ParseNumber(value, 10, n) || n == 0) return bad();
        m_otherRate = static_cast<uint32_t>(n);
    } else if (name == "lose-byte") {
        if (!ParseNumber(value, 10, n) || n == 0) return bad();
        m_lostBytes.push_back(n);
    } else {
        error = "unknown fault \"" + name + "\"";
        return false;
    }
    return true;
}

bool CSimFaults::Empty() const {
    return m_dropReplies.empty() && m_packetFaults.empty() && m_late.empty() && m_garbage.empty() &&
           m_badChecksums.empty() && m_powerLosses.empty() && m_lostBytes.empty() && !m_silent &&
           m_vanishAfter == 0 && m_otherRate == 0;
}

bool CSimFaults::DropsReply(uint64_t reply) const {
    return std::find(m_dropReplies.begin(), m_dropReplies.end(), reply) != m_dropReplies.end();
}

uint32_t CSimFaults::LateMs(uint64_t reply) const {
    uint32_t ms = 0;
    for (const Late& late : m_late)
        if (late.reply == 0 || late.reply == reply) ms += late.ms;
    return ms;
}

uint32_t CSimFaults::GarbageBefore(uint64_t reply) const {
    uint32_t length = 0;
    for (const Garbage& g : m_garbage)
        if (g.reply == reply) length += g.length;
    return length;
}

bool CSimFaults::SilentAt(uint64_t reply) const { return m_silent && reply > m_silentAfter; }

bool CSimFaults::TakePacketFault(uint32_t packet, PacketFaultKind kind) {
    for (CPacketFault& fault : m_packetFaults) {
        if (fault.kind == kind && fault.packet == packet && fault.used < fault.times) {
            ++fault.used;
            return true;
        }
    }
    return false;
}

bool CSimFaults::TakeBadChecksum(uint64_t read, uint32_t address) {
    for (CCountOrAddress& at : m_badChecksums) {
        if (!at.used && Matches(at, read, address)) {
            at.used = true;
            return true;
        }
    }
    return false;
}

int CSimFaults::TakePowerLoss(uint64_t write, uint32_t address, uint32_t count) {
    for (PowerLoss& loss : m_powerLosses) {
        if (!loss.at.used && Matches(loss.at, write, address)) {
            loss.at.used = true;
            const int bytes = loss.bytes < 0 ? static_cast<int>(count / 2) : loss.bytes;
            return std::min<int>(bytes, static_cast<int>(count));
        }
    }
    return -1;
}

bool CSimFaults::LosesByte(uint64_t packetPhaseByte) const {
    return std::find(m_lostBytes.begin(), m_lostBytes.end(), packetPhaseByte) != m_lostBytes.end();
}
