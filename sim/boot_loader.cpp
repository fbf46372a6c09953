#include "sim/boot_loader.h"

CBootLoader::CBootLoader(CSimFlash& flash, CSimFaults& faults, uint32_t flashMs, bool echoOnly)
    : m_flash(flash), m_faults(faults), m_flashMs(flashMs), m_echoOnly(echoOnly) {
    m_buffer.reserve(kPacketSize);
}

void CBootLoader::Start() {
    m_packetPhase = false;
    m_markerTaken = false;
    m_last = 0;
    m_buffer.clear();
}

CRadioAction CBootLoader::Receive(uint8_t byte) {
    if (!m_packetPhase) return ReceiveText(byte);
    if (m_faults.LosesByte(++m_packetBytes)) return {};
    m_buffer.push_back(byte);
    if (m_buffer.size() < kPacketSize) return {};
    CRadioAction action = JudgePacket();
    m_buffer.clear();
    return action;
}

CRadioAction CBootLoader::ReceiveText(uint8_t byte) {
    const uint8_t previous = m_last;
    m_last = byte;
    if (byte == 'D') {
        m_packetPhase = true;
        m_packetBytes = 0;
        m_buffer.clear();
        return {"D"};
    }
    if (byte == ';' && previous == 'I' && !m_echoOnly) return {"zr8;"};
    // Text characters come back as they are; anything else is dropped.
    if ((byte >= 0x20 && byte < 0x7F) || byte == '\r' || byte == '\n') return {std::string(1, static_cast<char>(byte))};
    return {};
}

CRadioAction CBootLoader::JudgePacket() {
    uint8_t sum = 0;
    for (uint8_t b : m_buffer) sum = static_cast<uint8_t>(sum + b);
    const uint32_t address = m_buffer[64] | (uint32_t(m_buffer[65]) << 8);
    const uint8_t kind = m_buffer[66];
    const bool marker = m_buffer[0] == 0xDE && m_buffer[1] == 0xAD;

    uint32_t packet = 0;
    if (sum == 0 && kind == 0 && CSimFaults::PacketNumber(address) != 0) {
        // The load opens with the marker packet; 0x0800 without the marker, or any other
        // block before it, would leave the radio unable to tell a broken load.
        const bool first = address == CSimFlash::kLow;
        if (first == marker && (first || m_markerTaken)) packet = CSimFaults::PacketNumber(address);
    } else if (sum == 0 && kind == 2 && address == CSimFlash::kLow && m_markerTaken && !marker) {
        packet = CSimFaults::kFinalPacket;
    }
    if (packet == 0) {
        ++m_stats.packetsRefused;
        return {"N"};
    }

    if (m_faults.TakePacketFault(packet, PacketFaultKind::Refuse)) {
        ++m_stats.packetsFaulted;
        return {"N"};
    }
    if (m_faults.TakePacketFault(packet, PacketFaultKind::AnswerC)) {
        ++m_stats.packetsFaulted;
        return {"C"};
    }
    return Take(packet, packet == CSimFaults::kFinalPacket ? "B" : "A");
}

CRadioAction CBootLoader::Take(uint32_t packet, const char* letter) {
    const uint32_t address = m_buffer[64] | (uint32_t(m_buffer[65]) << 8);
    m_flash.WriteBlock(address, m_buffer.data());
    if (address == CSimFlash::kLow && packet != CSimFaults::kFinalPacket) m_markerTaken = true;
    ++m_stats.packetsTaken;
    m_stats.takenAddresses.push_back(packet == CSimFaults::kFinalPacket ? 0x20000 | address : address);

    CRadioAction action;
    action.reply = letter;
    action.delayMs = m_flashMs;
    if (packet == CSimFaults::kFinalPacket) action.then = CRadioAction::Then::StartApplication;
    if (m_faults.TakePacketFault(packet, PacketFaultKind::DropReply)) {
        ++m_stats.packetsFaulted;
        action.reply.clear();
    }
    return action;
}
