// A firmware load as the loader dialog runs it, with the simulated radio on the other
// end of an in-process link and the message loop on its virtual clock: the model and
// its main window (which routes port events and ticks to the busy machine), the dialog
// that owns the machine (log lines, completion, progress bar 16010), and a device
// between port and radio through which a test may answer a write itself instead of the
// radio, to script refusals, silences and polls exactly.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/model_base.h"
#include "core/serial/serial_device.h"
#include "firmware/mcu_loader_state_machine.h"
#include "hex_test_text.h"
#include "platform/message_window.h"
#include "sim/loop_clock.h"
#include "sim/simulator.h"

// What a write of the program may get instead of passing to the radio: the bytes to
// answer (possibly none at all, a lost write); nullopt lets the radio have it.
using WriteInterceptor = std::function<std::optional<std::string>(const std::string& written)>;

struct LinkLog {
    std::vector<std::string> writes;  // every write of the program, as written
    DWORD failWrites = 0;             // not 0: every write from the next on fails with this code
    size_t Packets() const;           // writes of 68 bytes
    std::vector<std::string> PacketWrites() const;
    size_t Count(const std::string& text) const;
};

class CInterceptingDevice : public ISerialDevice {
public:
    CInterceptingDevice(std::unique_ptr<ISerialDevice> inner, LinkLog& log, WriteInterceptor& interceptor);
    ~CInterceptingDevice() override;

    void SetBytesWaitingCallback(std::function<void()> callback) override;
    DWORD SetBaudRate(DWORD rate) override { return m_inner->SetBaudRate(rate); }
    DWORD Write(const uint8_t* data, size_t length, size_t& written) override;
    DWORD Read(uint8_t* buffer, size_t length, size_t& count) override;
    DWORD PurgeReceive() override;
    size_t BytesWaiting() const override { return m_injected.size() + m_inner->BytesWaiting(); }

private:
    std::unique_ptr<ISerialDevice> m_inner;
    LinkLog& m_log;
    WriteInterceptor& m_interceptor;
    std::function<void()> m_callback;
    std::deque<uint8_t> m_injected;
    std::vector<unsigned long long> m_pendingCalls;
};

class LoaderTest : public ::testing::Test {
protected:
    static constexpr DWORD kLongEnoughMs = 30 * 60 * 1000;  // virtual

    LoaderTest();
    ~LoaderTest() override;

    // Writes the firmware file and connects the radio; call before Start.
    void Prepare(const CFirmwareGenOptions& firmware = {});
    void AddFault(const std::string& fault);
    BOOL Start();
    // Runs the loop until the dialog hears a completion (or the virtual time runs out).
    bool RunToCompletion(DWORD timeoutMs = kLongEnoughMs);

    bool HasLine(const std::wstring& line) const;
    size_t LineIndex(const std::wstring& line) const;  // npos when missing
    std::vector<std::wstring> LinesStartingWith(const std::wstring& prefix) const;

    CSimOptions simOptions;
    CScratchFolder folder;
    std::wstring firmwarePath;
    std::unique_ptr<CLoopClock> clock;
    std::unique_ptr<CSimulator> sim;
    std::unique_ptr<CModel> model;
    std::unique_ptr<CMcuLoaderStateMachine> machine;

    LinkLog link;
    WriteInterceptor interceptor;
    std::vector<std::wstring> lines;      // the dialog's log
    std::vector<DWORD> completions;       // WM_APP_MACHINE_DONE at the dialog
    std::vector<WPARAM> progress;         // PBM_SETPOS positions
    std::vector<LPARAM> progressRanges;   // PBM_SETRANGE
    std::vector<UINT_PTR> ticks;          // WM_TIMER identifiers at the main window

    CMessageWindow mainWindow;
    CMessageWindow dialog;
    CMessageWindow progressBar;

private:
    bool m_wasVirtual = false;
};
