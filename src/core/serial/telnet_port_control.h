// The client side of a serial port reached over Telnet with the COM Port Control option
// (RFC 2217), as ser2net's telnet(rfc2217) accepter and pyserial's port manager serve it.
// Pure byte-in, byte-out: the network device hands it what the server sent and sends
// what it produces; it never touches a socket or a clock.
//
// It asks for BINARY and SUPPRESS-GO-AHEAD both ways and offers COM-PORT-OPTION; any
// other option either side proposes is refused. Data from the server come out with the
// Telnet commands taken out and doubled 0xFF bytes undoubled; data for the server go in
// with every 0xFF doubled. A sub-negotiation longer than any COM-PORT reply is cut (its
// excess bytes dropped), so a hostile server cannot make it grow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CTelnetPortControl {
public:
    using Bytes = std::vector<uint8_t>;

    // What the server said to COM-PORT-OPTION.
    enum class ComPort { Unanswered, Accepted, Refused };

    // The opening negotiation, sent once after the connection is made.
    void Start(Bytes& toServer);

    // Bytes the server sent: the serial data go to data, the replies the negotiation
    // needs to toServer.
    void Receive(const uint8_t* bytes, size_t length, Bytes& data, Bytes& toServer);

    // Serial data for the server, every 0xFF doubled.
    static void Encode(const uint8_t* bytes, size_t length, Bytes& toServer);

    // The line as the program uses it: this rate, 8 data bits, no parity, 1 stop bit,
    // no flow control.
    void SetLine(uint32_t rate, Bytes& toServer);
    // Drops what the server holds from the serial line for us.
    void PurgeReceive(Bytes& toServer);

    // Whether the server has sent any Telnet command at all.
    bool TelnetSeen() const { return m_telnetSeen; }
    ComPort ComPortState() const { return m_comPort; }
    // The rate the server last reported in answer to SET-BAUDRATE; 0 before any answer.
    uint32_t ReportedRate() const { return m_reportedRate; }
    // Answers to SET-BAUDRATE so far (so a caller can wait for the next one).
    unsigned RateAnswers() const { return m_rateAnswers; }

    static constexpr uint8_t kIac = 255;
    static constexpr uint8_t kComPortOption = 44;
    static constexpr size_t kMaxSubnegotiation = 32;

private:
    enum class Parse { Data, Iac, Option, Sub, SubIac };
    // Per option, whether each side has it on, and whether we are waiting for an answer.
    struct OptionState {
        bool ours = false;       // we do it (WILL accepted)
        bool theirs = false;     // the server does it (DO accepted)
        bool askedOurs = false;  // our WILL is unanswered
        bool askedTheirs = false;  // our DO is unanswered
    };

    void OnCommand(uint8_t command, uint8_t option, Bytes& toServer);
    void OnSubnegotiation();
    static void SendOption(uint8_t command, uint8_t option, Bytes& toServer);
    void SendSubnegotiation(uint8_t command, const uint8_t* value, size_t length, Bytes& toServer) const;

    OptionState m_options[256];
    Parse m_parse = Parse::Data;
    uint8_t m_command = 0;
    Bytes m_sub;
    bool m_telnetSeen = false;
    ComPort m_comPort = ComPort::Unanswered;
    uint32_t m_reportedRate = 0;
    unsigned m_rateAnswers = 0;
};
