// CHostileScript: the radio's side of one conversation, read from a fuzzer's input.
//
// Byte 0 picks the machine and its start (HostileMachine, below). After it come the
// answers, one per write of the program, in the order the program writes:
//
//   kind = c & 3 of a control byte c
//   0  answer:   L, then L bytes; one port event (c >> 2) * 40 + 1 ms after the write
//   1  pieces:   p, L, then L bytes; pieces of (p & 15) + 1 bytes, the first 1 ms after the
//                write, each next one (p >> 4) * 150 ms later
//   2  silence:  nothing comes back (the program's time-out runs)
//   3  repeat:   n, L, then L bytes; this answer, 1 ms after the write, for this write and
//                the next n * 4 writes
//
// An answer cut short by the end of the input keeps what is there. Once the input is used
// up the radio is silent for good.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class HostileMachine { Contact, Loader, Save, Restore, BannerWrite, BannerRead, Count };

struct CHostileStart {
    HostileMachine machine = HostileMachine::Contact;
    bool trace = false;           // the "Trace" setting on (bit 3)
    bool knownBootLoader = false; // the model already knows the boot loader (bit 4)
};

// One delivery: the bytes of an answer that arrive together, after delayMs.
struct CHostilePiece {
    uint32_t delayMs;  // from the previous piece, or from the write for the first
    std::string bytes;
};

class CHostileScript {
public:
    static constexpr uint32_t kStepMs = 40;
    static constexpr uint32_t kPieceGapStepMs = 150;

    CHostileScript(const uint8_t* data, size_t size);

    const CHostileStart& Start() const { return m_start; }
    // The answer to the next write: empty for silence.
    std::vector<CHostilePiece> NextAnswer();
    // True once the input is used up and no repeat is pending: silence from here on.
    bool Exhausted() const { return m_pos >= m_size && m_repeatLeft == 0; }

private:
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::string Bytes(size_t count);

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    CHostileStart m_start;
    std::string m_repeat;
    size_t m_repeatLeft = 0;
};

// Writing scripts (the seed recorder): the same format from the other side.
namespace HostileScriptWriter {
std::string Header(const CHostileStart& start);
std::string Answer(const std::string& bytes, uint32_t delayMs = 0);  // kind 0
std::string Silence();                                                // kind 2
std::string Repeat(const std::string& bytes, size_t extraWrites);     // kind 3, extraWrites % 4 == 0
}  // namespace HostileScriptWriter
