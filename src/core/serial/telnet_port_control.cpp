#include "core/serial/telnet_port_control.h"

namespace {

constexpr uint8_t kSe = 240;
constexpr uint8_t kSb = 250;
constexpr uint8_t kWill = 251;
constexpr uint8_t kWont = 252;
constexpr uint8_t kDo = 253;
constexpr uint8_t kDont = 254;

constexpr uint8_t kBinary = 0;
constexpr uint8_t kSuppressGoAhead = 3;

// COM-PORT-OPTION commands, client to server; the server answers with the same + 100.
constexpr uint8_t kSetBaudRate = 1;
constexpr uint8_t kSetDataSize = 2;
constexpr uint8_t kSetParity = 3;
constexpr uint8_t kSetStopSize = 4;
constexpr uint8_t kSetControl = 5;
constexpr uint8_t kPurgeData = 12;
constexpr uint8_t kServerOffset = 100;

constexpr uint8_t kParityNone = 1;
constexpr uint8_t kOneStopBit = 1;
constexpr uint8_t kNoFlowControl = 1;
constexpr uint8_t kPurgeReceiveBuffer = 1;  // what the server has received from the line

bool WeWill(uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead || option == CTelnetPortControl::kComPortOption;
}

bool WeWant(uint8_t option)  // from the server
{
    return option == kBinary || option == kSuppressGoAhead;
}

}  // namespace

void CTelnetPortControl::SendOption(uint8_t command, uint8_t option, Bytes& toServer)
{
    toServer.insert(toServer.end(), {kIac, command, option});
}

void CTelnetPortControl::SendSubnegotiation(uint8_t command, const uint8_t* value, size_t length,
                                            Bytes& toServer) const
{
    toServer.insert(toServer.end(), {kIac, kSb, kComPortOption, command});
    Encode(value, length, toServer);
    toServer.insert(toServer.end(), {kIac, kSe});
}

void CTelnetPortControl::Start(Bytes& toServer)
{
    for (uint8_t option : {kBinary, kSuppressGoAhead}) {
        m_options[option].askedOurs = true;
        m_options[option].askedTheirs = true;
        SendOption(kWill, option, toServer);
        SendOption(kDo, option, toServer);
    }
    m_options[kComPortOption].askedOurs = true;
    SendOption(kWill, kComPortOption, toServer);
}

void CTelnetPortControl::Encode(const uint8_t* bytes, size_t length, Bytes& toServer)
{
    for (size_t i = 0; i < length; ++i) {
        toServer.push_back(bytes[i]);
        if (bytes[i] == kIac)
            toServer.push_back(kIac);
    }
}

void CTelnetPortControl::SetLine(uint32_t rate, Bytes& toServer)
{
    const uint8_t rateBytes[4] = {static_cast<uint8_t>(rate >> 24), static_cast<uint8_t>(rate >> 16),
                                  static_cast<uint8_t>(rate >> 8), static_cast<uint8_t>(rate)};
    const uint8_t dataBits = 8;
    SendSubnegotiation(kSetBaudRate, rateBytes, sizeof rateBytes, toServer);
    SendSubnegotiation(kSetDataSize, &dataBits, 1, toServer);
    SendSubnegotiation(kSetParity, &kParityNone, 1, toServer);
    SendSubnegotiation(kSetStopSize, &kOneStopBit, 1, toServer);
    SendSubnegotiation(kSetControl, &kNoFlowControl, 1, toServer);
}

void CTelnetPortControl::PurgeReceive(Bytes& toServer)
{
    SendSubnegotiation(kPurgeData, &kPurgeReceiveBuffer, 1, toServer);
}

void CTelnetPortControl::Receive(const uint8_t* bytes, size_t length, Bytes& data, Bytes& toServer)
{
    for (size_t i = 0; i < length; ++i) {
        const uint8_t byte = bytes[i];
        switch (m_parse) {
        case Parse::Data:
            if (byte == kIac)
                m_parse = Parse::Iac;
            else
                data.push_back(byte);
            break;
        case Parse::Iac:
            if (byte == kIac) {
                data.push_back(kIac);
                m_parse = Parse::Data;
                break;
            }
            m_telnetSeen = true;
            if (byte == kWill || byte == kWont || byte == kDo || byte == kDont) {
                m_command = byte;
                m_parse = Parse::Option;
            } else if (byte == kSb) {
                m_sub.clear();
                m_parse = Parse::Sub;
            } else {
                m_parse = Parse::Data;  // NOP, GA, a stray SE and the like: nothing to do
            }
            break;
        case Parse::Option:
            OnCommand(m_command, byte, toServer);
            m_parse = Parse::Data;
            break;
        case Parse::Sub:
            if (byte == kIac)
                m_parse = Parse::SubIac;
            else if (m_sub.size() < kMaxSubnegotiation)
                m_sub.push_back(byte);
            break;
        case Parse::SubIac:
            if (byte == kIac) {
                if (m_sub.size() < kMaxSubnegotiation)
                    m_sub.push_back(kIac);
                m_parse = Parse::Sub;
            } else {
                // IAC SE ends it; any other command ends it too, as a lenient server would
                // have it, and is then taken as a command of its own.
                OnSubnegotiation();
                m_parse = Parse::Data;
                if (byte != kSe) {
                    m_parse = Parse::Iac;
                    --i;
                }
            }
            break;
        }
    }
}

void CTelnetPortControl::OnCommand(uint8_t command, uint8_t option, Bytes& toServer)
{
    OptionState& state = m_options[option];
    switch (command) {
    case kDo:
        if (WeWill(option)) {
            if (!state.ours && !state.askedOurs)
                SendOption(kWill, option, toServer);
            state.ours = true;
            if (option == kComPortOption)
                m_comPort = ComPort::Accepted;
        } else {
            SendOption(kWont, option, toServer);
        }
        state.askedOurs = false;
        break;
    case kDont:
        if (state.ours && !state.askedOurs)
            SendOption(kWont, option, toServer);
        state.ours = false;
        state.askedOurs = false;
        if (option == kComPortOption)
            m_comPort = ComPort::Refused;
        break;
    case kWill:
        if (WeWant(option)) {
            if (!state.theirs && !state.askedTheirs)
                SendOption(kDo, option, toServer);
            state.theirs = true;
        } else {
            SendOption(kDont, option, toServer);
        }
        state.askedTheirs = false;
        break;
    case kWont:
        if (state.theirs && !state.askedTheirs)
            SendOption(kDont, option, toServer);
        state.theirs = false;
        state.askedTheirs = false;
        break;
    default:
        break;
    }
}

void CTelnetPortControl::OnSubnegotiation()
{
    if (m_sub.size() < 2 || m_sub[0] != kComPortOption)
        return;
    if (m_sub[1] == kServerOffset + kSetBaudRate && m_sub.size() >= 6) {
        m_reportedRate = (uint32_t{m_sub[2]} << 24) | (uint32_t{m_sub[3]} << 16) | (uint32_t{m_sub[4]} << 8) |
                         uint32_t{m_sub[5]};
        ++m_rateAnswers;
    }
}
