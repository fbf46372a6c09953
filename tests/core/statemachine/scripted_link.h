// A radio link the test scripts byte by byte: every write is recorded, and the test's
// responder decides what comes back and when (on the loop's clock, so under the virtual
// clock a 500 ms answer costs nothing). Opened through CSerialPort under the name
// kScriptedPortName, exactly like the simulated radio.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/serial/serial_device.h"
#include "platform/win_types.h"

constexpr const wchar_t* kScriptedPortName = L"SCRIPTED";

class CScriptedLink : public std::enable_shared_from_this<CScriptedLink> {
public:
    // Called for every write with the bytes written (one command per write).
    std::function<void(const std::string& written)> onWrite;

    // Bytes arrive now, or after delayMs on the loop's clock.
    // A delivery still scheduled when the link is gone (the test ended) keeps it alive
    // and lands nowhere, since the link is no longer open.
    void Deliver(const std::string& bytes);
    void DeliverAfter(DWORD delayMs, const std::string& bytes);

    // Answers every write of command with reply, after delayMs.
    void AnswerAlways(const std::string& command, const std::string& reply, DWORD delayMs = 5);

    std::vector<std::string> writes;
    std::vector<DWORD> rates;  // every rate the port set
    unsigned purges = 0;
    DWORD writeError = 0;      // returned by the next writes when non-zero
    std::string pending;       // bytes the port has not read yet

    // Device side.
    std::function<void()> bytesWaiting;
    bool open = false;
};

// Registers kScriptedPortName for the life of the object; each open gets the same link.
class CScriptedPortRegistration {
public:
    explicit CScriptedPortRegistration(std::shared_ptr<CScriptedLink> link);
    ~CScriptedPortRegistration();
};

// How many of the writes equal text.
size_t CountWrites(const CScriptedLink& link, const std::string& text);
