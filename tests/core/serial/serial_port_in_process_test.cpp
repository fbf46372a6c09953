// CSerialPort over registered in-process devices: the simulated radio on the message
// loop's virtual clock, and a scripted device for the failure paths.
#include <gtest/gtest.h>

#include <deque>

#include "core/serial/serial_device.h"
#include "core/serial/serial_port.h"
#include "core/text/error_text.h"
#include "platform/code_pages.h"
#include "platform/message_loop.h"
#include "port_watcher.h"
#include "sim/loop_clock.h"
#include "sim/sim_options.h"
#include "sim/sim_serial_device.h"
#include "sim/simulator.h"

namespace {

CSimOptions OptionsFrom(const std::vector<std::string>& args)
{
    CSimCommandLine commandLine;
    std::string error;
    EXPECT_TRUE(ParseSimCommandLine(args, commandLine, error)) << error;
    return commandLine.radio;
}

class VirtualClock {
public:
    VirtualClock() { MessageLoop::UseVirtualClock(true); }
    ~VirtualClock() { MessageLoop::UseVirtualClock(false); }
};

class SimulatedRadioPortTest : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& args)
    {
        m_sim = std::make_unique<CSimulator>(OptionsFrom(args), m_clock);
        RegisterSimulatedRadio(L"SimTest", *m_sim);
        ASSERT_EQ(m_port.Open(L"simtest"), 0u);
    }
    void TearDown() override
    {
        m_port.Close();
        UnregisterSerialDevice(L"SimTest");
    }
    std::string Ask(const wchar_t* command)
    {
        m_watcher.TakeReceived();
        EXPECT_TRUE(m_port.WriteText(command));
        EXPECT_TRUE(m_watcher.WaitForAnswer(2000));
        return m_watcher.TakeReceived();
    }

    VirtualClock m_virtual;
    CLoopClock m_clock;
    std::unique_ptr<CSimulator> m_sim;
    CSerialPort m_port;
    CPortWatcher m_watcher{m_port};
};

TEST_F(SimulatedRadioPortTest, ExchangesAtLineSpeedAndFollowsTheBitRate)
{
    Start({"--baud-model", "line"});
    EXPECT_EQ(Ask(L"RV;"), "RV01.23;");
    EXPECT_EQ(Ask(L"SN;"), "SN12345;");

    ASSERT_EQ(m_port.SetBaudRate(19200), 0u);
    ASSERT_TRUE(m_port.WriteText(L"RV;"));
    m_watcher.Pump(500);
    EXPECT_EQ(m_watcher.TakeReceived(), "") << "the radio listens at 9600 only";
    ASSERT_EQ(m_port.SetBaudRate(9600), 0u);
    EXPECT_EQ(Ask(L"I;"), "ZR8;");
    EXPECT_TRUE(m_watcher.Boxes().empty());
}

TEST_F(SimulatedRadioPortTest, UnreadAnswerIsAnnouncedOnce)
{
    Start({"--baud-model", "instant"});
    m_watcher.SetReading(CPortWatcher::Reading::None);
    ASSERT_TRUE(m_port.WriteText(L"RV;"));
    m_watcher.Pump(500);
    EXPECT_EQ(m_watcher.Events(), 1);
    m_watcher.SetReading(CPortWatcher::Reading::OneByte);
    ASSERT_TRUE(m_port.WriteText(L"I;"));
    ASSERT_TRUE(m_watcher.WaitFor([&] { return m_watcher.Received().size() == 12; }, 2000));
    EXPECT_EQ(m_watcher.TakeReceived(), "RV01.23;ZR8;");
}

TEST_F(SimulatedRadioPortTest, RadioVanishingIsReportedOnceAndClosesThePort)
{
    Start({"--baud-model", "line", "--fault", "vanish=4"});
    ASSERT_TRUE(m_port.WriteText(L"RV;S"));
    ASSERT_TRUE(m_watcher.WaitFor([&] { return !m_port.IsOpen(); }, 2000));
    m_watcher.Pump(200);
    ASSERT_EQ(m_watcher.Boxes().size(), 1u);
    EXPECT_EQ(m_watcher.Boxes()[0].caption, L"COM Port Error");
    EXPECT_EQ(m_watcher.Boxes()[0].text,
              L"ReadFile failed on \"simtest\"\r\nError 0x00000005: " + GetErrorText(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(m_port.WriteText(L"RV;"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// A device whose calls fail as a test tells it to.
class CScriptedDevice : public ISerialDevice {
public:
    struct Script {
        DWORD setRate = 0;
        DWORD write = 0;
        DWORD read = 0;
        DWORD purge = 0;
    };
    explicit CScriptedDevice(const Script& script) : m_script(script) {}
    void SetBytesWaitingCallback(std::function<void()>) override {}
    DWORD SetBaudRate(DWORD) override { return m_script.setRate; }
    DWORD Write(const uint8_t*, size_t length, size_t& written) override
    {
        written = m_script.write ? 0 : length;
        return m_script.write;
    }
    DWORD Read(uint8_t*, size_t, size_t& count) override
    {
        count = 0;
        return m_script.read;
    }
    DWORD PurgeReceive() override { return m_script.purge; }
    size_t BytesWaiting() const override { return 0; }

private:
    Script m_script;
};

class ScriptedPortTest : public ::testing::Test {
protected:
    void Register(const CScriptedDevice::Script& script)
    {
        RegisterSerialDevice(L"Scripted", [script] { return std::make_unique<CScriptedDevice>(script); });
    }
    void TearDown() override
    {
        m_port.Close();
        UnregisterSerialDevice(L"Scripted");
    }
    std::vector<std::wstring> CallNames() const
    {
        std::vector<std::wstring> captions;
        for (const auto& box : m_watcher.Boxes())
            captions.push_back(box.text.substr(0, box.text.find(L' ')));
        return captions;
    }

    CSerialPort m_port;
    CPortWatcher m_watcher{m_port};
};

TEST_F(ScriptedPortTest, FailingLineSettingsAtOpenAreReportedTwiceAndClose)
{
    CScriptedDevice::Script script;
    script.setRate = ERROR_GEN_FAILURE;
    Register(script);
    EXPECT_EQ(m_port.Open(L"Scripted"), static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(CallNames(), (std::vector<std::wstring>{L"SetCommState", L"SetCommState"}));
    for (const auto& box : m_watcher.Boxes())
        EXPECT_NE(box.text.find(L"Error 0x0000001F: "), std::wstring::npos);
}

TEST_F(ScriptedPortTest, FailingCallsAreReportedAndClearTheLineErrors)
{
    CScriptedDevice::Script script;
    script.write = ERROR_GEN_FAILURE;
    script.read = ERROR_WRITE_FAULT;
    script.purge = ERROR_INVALID_PARAMETER;
    Register(script);
    ASSERT_EQ(m_port.Open(L"Scripted"), 0u);

    char byte;
    DWORD count = 0;
    EXPECT_FALSE(m_port.WriteText(L"RV;"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_FALSE(m_port.ReadBytes(&byte, 1, &count));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_FAULT));
    EXPECT_FALSE(m_port.PurgeReceive());
    EXPECT_EQ(CallNames(), (std::vector<std::wstring>{L"WriteFile", L"ReadFile", L"PurgeComm"}));
    EXPECT_TRUE(m_port.IsOpen()) << "only access denied closes the port";
    // Each report is logged, then the line errors are fetched and logged.
    ASSERT_EQ(m_watcher.LogLines().size(), 6u);
    EXPECT_EQ(m_watcher.LogLines()[0], m_watcher.Boxes()[0].text);
    EXPECT_EQ(m_watcher.LogLines()[1], L"ClearCommError dwErrors 0x0000");
}

TEST_F(ScriptedPortTest, AccessDeniedClosesThePortAtOnce)
{
    CScriptedDevice::Script script;
    script.write = ERROR_ACCESS_DENIED;
    Register(script);
    ASSERT_EQ(m_port.Open(L"Scripted"), 0u);
    EXPECT_FALSE(m_port.WriteText(L"RV;"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_FALSE(m_port.WriteText(L"RV;"));
    EXPECT_EQ(m_watcher.Boxes().size(), 1u);
    EXPECT_EQ(m_watcher.LogLines().size(), 1u) << "a closed port has no line errors to clear";
}

}  // namespace
