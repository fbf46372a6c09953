// The Telnet and COM Port Control client against a hostile server. Two checks per input:
//  1. The input as the server's stream, split into pieces whose sizes come from the
//     input itself: the data and the answers must be those of the whole stream at once
//     (the parser keeps its place across pieces), no longer than the stream, and the
//     answers never more than the commands that asked for them.
//  2. The input as serial data, sent as a server sends it (0xFF doubled) with Telnet
//     commands and sub-negotiations of every kind put between its bytes: exactly the
//     input must come out, no byte invented or lost.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/serial/telnet_port_control.h"

namespace {

using Bytes = CTelnetPortControl::Bytes;

void Require(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "telnet server: %s\n", what);
    std::abort();
}

CTelnetPortControl StartedClient()
{
    CTelnetPortControl control;
    Bytes opening;
    control.Start(opening);
    return control;
}

void CheckHostileStream(const uint8_t* data, size_t size)
{
    CTelnetPortControl whole = StartedClient();
    Bytes wholeData, wholeAnswers;
    whole.Receive(data, size, wholeData, wholeAnswers);
    Require(wholeData.size() <= size, "more data than bytes received");
    Require(wholeAnswers.size() <= size, "more answers than commands");

    CTelnetPortControl pieces = StartedClient();
    Bytes pieceData, pieceAnswers;
    size_t at = 0;
    size_t step = 0;
    while (at < size) {
        const size_t length = std::min<size_t>(size - at, 1 + data[step++ % size] % 7);
        pieces.Receive(data + at, length, pieceData, pieceAnswers);
        at += length;
    }
    Require(pieceData == wholeData, "data depend on how the stream was split");
    Require(pieceAnswers == wholeAnswers, "answers depend on how the stream was split");
    Require(pieces.ComPortState() == whole.ComPortState(), "com port state depends on the split");
    Require(pieces.ReportedRate() == whole.ReportedRate(), "reported rate depends on the split");
}

void PutCommand(uint8_t choice, uint8_t value, Bytes& stream)
{
    constexpr uint8_t IAC = 255, SB = 250, SE = 240;
    switch (choice % 6) {
    case 0: stream.insert(stream.end(), {IAC, 241}); break;                              // NOP
    case 1: stream.insert(stream.end(), {IAC, static_cast<uint8_t>(251 + value % 4), value}); break;  // WILL..DONT
    case 2: {  // a rate answer, its value 0xFF-doubled
        stream.insert(stream.end(), {IAC, SB, 44, 101});
        const uint8_t rate[4] = {value, 0xFF, value, 0xFF};
        CTelnetPortControl::Encode(rate, sizeof rate, stream);
        stream.insert(stream.end(), {IAC, SE});
        break;
    }
    case 3:  // modem state
        stream.insert(stream.end(), {IAC, SB, 44, 107});
        CTelnetPortControl::Encode(&value, 1, stream);
        stream.insert(stream.end(), {IAC, SE});
        break;
    case 4: {  // longer than any answer
        stream.insert(stream.end(), {IAC, SB, 44, 106});
        stream.insert(stream.end(), CTelnetPortControl::kMaxSubnegotiation + value % 16, value == 0xFF ? 0 : value);
        stream.insert(stream.end(), {IAC, SE});
        break;
    }
    default: stream.insert(stream.end(), {IAC, SB, value == 0xFF ? uint8_t{0} : value, IAC, SE}); break;  // other option
    }
}

void CheckDataSurvive(const uint8_t* data, size_t size)
{
    if (size == 0)
        return;
    const size_t every = 1 + data[0] % 16;
    Bytes stream;
    for (size_t i = 0; i < size; ++i) {
        if (i % every == 0)
            PutCommand(data[i], data[(i + 1) % size], stream);
        CTelnetPortControl::Encode(data + i, 1, stream);
    }
    CTelnetPortControl control = StartedClient();
    Bytes out, answers;
    control.Receive(stream.data(), stream.size(), out, answers);
    Require(out == Bytes(data, data + size), "serial data changed on their way through");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckHostileStream(data, size);
    CheckDataSurvive(data, size);
    return 0;
}
