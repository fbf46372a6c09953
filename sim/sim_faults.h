// Fault injection for the simulated radio. Each fault is chosen by a count (the n-th
// reply, the n-th EEPROM read or write, the n-th byte) or by an address (a firmware packet
// or an EEPROM block), and given on the command line as NAME=VALUE, one --fault each:
//
//   drop-reply=N            the N-th reply is never sent
//   drop-packet-reply=P     packet P is flashed but its "A" (or "B") is lost, once
//   refuse-packet=P[xN]     packet P is answered "N" the first N times it arrives
//   answer-c=P[xN]          packet P is answered "C" the first N times it arrives
//   late=MS[@N]             every reply (or only the N-th) leaves MS ms late
//   garbage=N[xLEN]         LEN (8) line-noise bytes go out ahead of the N-th reply
//   bad-checksum=N|@ADDR    the N-th "ER" answer (or the first for ADDR) has a wrong checksum
//   silent=N                nothing is answered after the first N replies
//   vanish=N                the line goes away after the radio has received N bytes
//   power-loss=N|@ADDR[:B]  the N-th "EW" (or the first at ADDR) writes only B bytes
//                           (half the block by default), then the radio is dead
//   other-rate=RATE         the radio listens and answers only at RATE bit/s
//   lose-byte=N             the boot loader loses the N-th byte of its packet phase
//
// P is a packet number counted through the image (1 is the marker packet at 0x0800,
// 992 the packet at 0xFFC0, 993 or "last" the final packet) or @ADDR for the ordinary
// packet at that hexadecimal address. Counts start at 1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class PacketFaultKind { Refuse, AnswerC, DropReply };

struct CPacketFault {
    PacketFaultKind kind;
    uint32_t packet;      // 1..kFinalPacket
    uint32_t times;       // how many arrivals it applies to
    uint32_t used = 0;
};

struct CCountOrAddress {
    bool byAddress = false;
    uint32_t value = 0;   // count (from 1) or address
    bool used = false;
};

class CSimFaults {
public:
    static constexpr uint32_t kFinalPacket = 993;

    // Parses one NAME=VALUE; false with a message for anything it does not understand.
    bool Add(const std::string& spec, std::string& error);
    bool Empty() const;

    // Reply faults, asked once per reply with its number (from 1).
    bool DropsReply(uint64_t reply) const;
    uint32_t LateMs(uint64_t reply) const;
    uint32_t GarbageBefore(uint64_t reply) const;
    bool SilentAt(uint64_t reply) const;  // true when this reply falls in the silence

    // Asked once per valid packet the boot loader has taken apart; counts its use.
    bool TakePacketFault(uint32_t packet, PacketFaultKind kind);

    // EEPROM faults, asked with the number (from 1) of the command and its address.
    bool TakeBadChecksum(uint64_t read, uint32_t address);
    // Bytes written before the power fails, or -1 when this write is unharmed.
    int TakePowerLoss(uint64_t write, uint32_t address, uint32_t count);

    uint64_t VanishAfterBytes() const { return m_vanishAfter; }  // 0: never
    uint32_t OtherRate() const { return m_otherRate; }           // 0: none
    bool LosesByte(uint64_t packetPhaseByte) const;

    // Packet number of an ordinary packet address, 0 when it is not a packet address.
    static uint32_t PacketNumber(uint32_t address);

private:
    std::vector<uint64_t> m_dropReplies;
    std::vector<CPacketFault> m_packetFaults;
    struct Late { uint32_t ms; uint64_t reply; };  // reply 0: every reply
    std::vector<Late> m_late;
    struct Garbage { uint64_t reply; uint32_t length; };
    std::vector<Garbage> m_garbage;
    std::vector<CCountOrAddress> m_badChecksums;
    struct PowerLoss { CCountOrAddress at; int bytes; };  // bytes -1: half the block
    std::vector<PowerLoss> m_powerLosses;
    std::vector<uint64_t> m_lostBytes;
    bool m_silent = false;
    uint64_t m_silentAfter = 0;
    uint64_t m_vanishAfter = 0;
    uint32_t m_otherRate = 0;
};
