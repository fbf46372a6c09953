// The radio's boot loader. In its text phase it echoes text characters and identifies
// itself; "D" opens the packet phase, in which every 68 bytes received are one packet:
// 64 flash bytes, the address (bits 0-7, 8-15, 16-23) and a checksum that makes all 68
// bytes sum to zero. The loader takes a packet ("A"), refuses it ("N", buffer emptied) or,
// for the final packet (address byte 2), takes it ("B") and restarts into the new firmware.
//
// A load must open with the packet for 0x0800 whose first two bytes are the marker
// 0xDE 0xAD: it is flashed with the marker, so that a radio whose load breaks off comes
// back up in its boot loader. The final packet then writes the true block 0x0800.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/radio_action.h"
#include "sim/sim_faults.h"
#include "sim/sim_flash.h"

struct CBootLoaderStats {
    uint32_t packetsTaken = 0;       // "A" and "B"
    uint32_t packetsRefused = 0;     // "N" for a bad packet
    uint32_t packetsFaulted = 0;     // answered "N" or "C", or unanswered, by a fault
    std::vector<uint32_t> takenAddresses;  // in order; the final packet shows as 0x20800
};

class CBootLoader {
public:
    static constexpr size_t kPacketSize = 68;

    CBootLoader(CSimFlash& flash, CSimFaults& faults, uint32_t flashMs, bool echoOnly);

    void Start();  // a fresh start: text phase
    bool InPacketPhase() const { return m_packetPhase; }
    const CBootLoaderStats& Stats() const { return m_stats; }

    CRadioAction Receive(uint8_t byte);

private:
    CRadioAction ReceiveText(uint8_t byte);
    CRadioAction JudgePacket();
    CRadioAction Take(uint32_t packet, const char* letter);

    CSimFlash& m_flash;
    CSimFaults& m_faults;
    uint32_t m_flashMs;
    bool m_echoOnly;
    bool m_packetPhase = false;
    bool m_markerTaken = false;
    uint8_t m_last = 0;
    uint64_t m_packetBytes = 0;   // bytes received since "D", for the lose-byte fault
    std::vector<uint8_t> m_buffer;
    CBootLoaderStats m_stats;
};
