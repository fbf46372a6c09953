// CMachineRun: one machine of the program run to its end as its dialog runs it, against
// whatever device the caller puts on the port, on the message loop's virtual clock: the
// model with its main window (which routes port events and ticks to the busy machine),
// the owner window that hears the completions, and the write checks on every write.
// The fuzz target puts the hostile radio on the port; the seed recorder the simulator.
//
// The model, its windows and the open port live for the whole process (opening a port
// lets the line settle for 50 ms of real time, which would cost more than a run): each
// run swaps the device behind the port and puts the model back to a found radio.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/serial/serial_device.h"
#include "hostile_script.h"
#include "platform/win_types.h"

struct CMachineOutcome {
    size_t completions = 0;      // WM_APP_MACHINE_DONE at the owner
    DWORD result = 0;            // the first completion's code
    bool finishedInTime = false;  // the completion came within the bounds
    bool pollingAtEnd = false;    // the contact machine still polled a silent radio: ended by the run
    std::string violation;       // the first write that broke a rule
    size_t writes = 0;
    size_t writesAfterEnd = 0;   // writes after the completion
    DWORD virtualMs = 0;
};

class CMachineRun {
public:
    using WriteObserver = std::function<void(const std::string&)>;
    using DeviceMaker = std::function<std::unique_ptr<ISerialDevice>(WriteObserver)>;

    // Virtual time the machine gets while the device still has answers, and after.
    static constexpr DWORD kScriptedLimitMs = 24u * 60 * 60 * 1000;
    static constexpr DWORD kSilentLimitMs = 10u * 60 * 1000;
    static constexpr DWORD kAfterEndMs = 60u * 1000;
    static constexpr const char* kBannerText = "CQ DX";

    // Once per process: the virtual clock, the message boxes answered, the firmware file.
    static bool Prepare(std::string& error);
    static const std::wstring& FirmwarePath();
    static std::vector<uint8_t> StandardEeprom();  // what the restore's file holds

    // deviceDone: the device has nothing more to say (from then on kSilentLimitMs).
    CMachineOutcome Run(const CHostileStart& start, const DeviceMaker& makeDevice,
                        const std::function<bool()>& deviceDone);
};

// 0, a code of the message table, or a system error the program has a text for.
bool IsKnownResult(DWORD code);
