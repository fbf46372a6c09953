// CSerialPort's terminal device against zr8sim on a real pseudo-terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "core/serial/serial_low_latency.h"
#include "core/serial/serial_port.h"
#include "core/text/error_text.h"
#include "platform/code_pages.h"
#include "port_watcher.h"
#include "process_census.h"
#include "sim_process.h"

namespace {

class SerialPortPtyTest : public ::testing::Test {
protected:
    void StartSim(const std::vector<std::string>& args = {"--baud-model", "instant"})
    {
        std::string error;
        ASSERT_TRUE(m_sim.Start(args, error)) << error;
        m_name = CodePages::FromUtf8(m_sim.SlavePath());
    }

    void Open()
    {
        ASSERT_EQ(m_port.Open(m_name), 0u);
        ASSERT_TRUE(m_port.IsOpen());
    }

    std::string Ask(const wchar_t* command)
    {
        m_watcher.TakeReceived();
        EXPECT_TRUE(m_port.WriteText(command));
        EXPECT_TRUE(m_watcher.WaitForAnswer()) << "no answer to " << CodePages::ToUtf8(command);
        return m_watcher.TakeReceived();
    }

    CSimProcess m_sim;
    std::wstring m_name;
    CSerialPort m_port;
    CPortWatcher m_watcher{m_port};
};

TEST_F(SerialPortPtyTest, OpensAt9600AndExchangesCommands)
{
    StartSim();
    Open();
    EXPECT_EQ(m_port.BaudRate(), 9600u);
    EXPECT_EQ(m_port.PortName(), m_name);
    EXPECT_EQ(Ask(L"RV;"), "RV01.23;");
    EXPECT_EQ(Ask(L"SN;"), "SN12345;");
    EXPECT_TRUE(m_watcher.Boxes().empty());
}

// A pseudo-terminal has no serial settings: the low-latency request is refused, errno is
// left as it was, the terminal keeps working, and the port opens all the same.
TEST_F(SerialPortPtyTest, RefusedLowLatencyLeavesTheTerminalAndTheOpenAlone)
{
    StartSim();
    const int fd = ::open(m_sim.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    errno = EAGAIN;
    EXPECT_FALSE(RequestLowLatency(fd));
    EXPECT_EQ(errno, EAGAIN);
    EXPECT_FALSE(RequestLowLatency(-1));
    EXPECT_NE(::fcntl(fd, F_GETFL), -1);
    ::close(fd);
    Open();
    EXPECT_EQ(Ask(L"RV;"), "RV01.23;");
}

TEST_F(SerialPortPtyTest, OpeningAnOpenPortKeepsIt)
{
    StartSim();
    Open();
    EXPECT_EQ(m_port.Open(L"/dev/zr8-no-such-port"), 0u);
    EXPECT_EQ(m_port.PortName(), m_name);
    EXPECT_EQ(Ask(L"I;"), "ZR8;");
}

TEST_F(SerialPortPtyTest, PortHeldByAnotherProgramIsAccessDeniedAndLeavesNothingBehind)
{
    StartSim();
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const std::string path = m_sim.SlavePath();
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        // Another program with the port open and locked, until told to let go.
        ::close(release[1]);
        ::close(ready[0]);
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const char ok = (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) ? 1 : 0;
        (void)!::write(ready[1], &ok, 1);
        char c;
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 1) << "the holder could not lock the port";

    const ProcessCensus before;
    EXPECT_EQ(m_port.Open(m_name), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(ProcessCensus(), before);
    EXPECT_TRUE(m_watcher.Boxes().empty()) << "the caller reports a port that cannot be opened";

    ::close(release[1]);
    ::close(ready[0]);
    int status = 0;
    ::waitpid(holder, &status, 0);
    // Once the other program has let go, the same port opens, and opens again after a
    // close (the exclusive mode does not outlive the port's own use of the terminal).
    Open();
    m_port.Close();
    Open();
    EXPECT_EQ(Ask(L"I;"), "ZR8;");
}

TEST_F(SerialPortPtyTest, MissingDeviceIsFileNotFound)
{
    const ProcessCensus before;
    EXPECT_EQ(m_port.Open(L"/dev/zr8-no-such-port"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(ProcessCensus(), before);
}

TEST_F(SerialPortPtyTest, UnreadBurstIsAnnouncedOnceUntilMoreArrives)
{
    StartSim();
    Open();
    m_watcher.SetReading(CPortWatcher::Reading::None);
    ASSERT_TRUE(m_port.WriteText(L"RV;"));
    ASSERT_TRUE(m_watcher.WaitFor([&] { return m_watcher.Events() > 0; }));
    m_watcher.Pump(300);
    EXPECT_EQ(m_watcher.Events(), 1) << "the bytes sat unread, and nothing new came";

    // New bytes are news again; the reader then takes both answers at once.
    m_watcher.SetReading(CPortWatcher::Reading::All);
    ASSERT_TRUE(m_port.WriteText(L"SN;"));
    ASSERT_TRUE(m_watcher.WaitFor([&] { return m_watcher.Received().size() >= 16; }));
    EXPECT_EQ(m_watcher.TakeReceived(), "RV01.23;SN12345;");
    m_watcher.Pump(100);
    EXPECT_EQ(m_watcher.Events(), 2);
}

TEST_F(SerialPortPtyTest, BytesLeftByTheReaderAreAnnouncedAgain)
{
    StartSim();
    Open();
    m_watcher.SetReading(CPortWatcher::Reading::OneByte);
    EXPECT_EQ(Ask(L"I;"), "ZR8;");
    m_watcher.Pump(100);
    EXPECT_EQ(m_watcher.Events(), 4);
    EXPECT_EQ(m_watcher.EventsWithBytes(), 4);
}

TEST_F(SerialPortPtyTest, PurgeDropsWaitingInput)
{
    StartSim();
    Open();
    m_watcher.SetReading(CPortWatcher::Reading::None);
    ASSERT_TRUE(m_port.WriteText(L"RV;"));
    ASSERT_TRUE(m_watcher.WaitFor([&] { return m_watcher.Events() > 0; }));
    EXPECT_TRUE(m_port.PurgeReceive());
    m_watcher.SetReading(CPortWatcher::Reading::All);
    EXPECT_EQ(Ask(L"SN;"), "SN12345;");
}

TEST_F(SerialPortPtyTest, BitRateReachesTheLine)
{
    StartSim();
    Open();
    EXPECT_EQ(m_port.SetBaudRate(1200), static_cast<DWORD>(E_INVALIDARG));
    EXPECT_EQ(m_port.BaudRate(), 9600u);
    EXPECT_EQ(m_port.SetBaudRate(9600), 0u);

    // The radio listens at 9600: at 19200 it hears only noise.
    ASSERT_EQ(m_port.SetBaudRate(19200), 0u);
    EXPECT_EQ(m_port.BaudRate(), 19200u);
    ASSERT_TRUE(m_port.WriteText(L"RV;"));
    m_watcher.Pump(300);
    EXPECT_EQ(m_watcher.TakeReceived(), "");

    ASSERT_EQ(m_port.SetBaudRate(9600), 0u);
    EXPECT_EQ(Ask(L"RV;"), "RV01.23;");
    EXPECT_TRUE(m_watcher.Boxes().empty());
}

TEST_F(SerialPortPtyTest, SimulatorVanishingMidAnswerIsReportedOnceAndClosesThePort)
{
    // The radio goes after the fourth byte it hears, while its answer to "RV;" is on
    // the line.
    StartSim({"--baud-model", "line", "--fault", "vanish=4"});
    const ProcessCensus withSim;
    Open();
    ASSERT_TRUE(m_port.WriteText(L"RV;S"));
    ASSERT_TRUE(m_watcher.WaitFor([&] { return !m_port.IsOpen(); }));
    m_watcher.Pump(200);

    ASSERT_EQ(m_watcher.Boxes().size(), 1u);
    const RecordedBox& box = m_watcher.Boxes()[0];
    EXPECT_EQ(box.caption, L"COM Port Error");
    const std::wstring tail = L" failed on \"" + m_name + L"\"\r\nError 0x00000005: " + GetErrorText(ERROR_ACCESS_DENIED);
    EXPECT_NE(box.text.find(tail), std::wstring::npos) << CodePages::ToUtf8(box.text);
    ASSERT_FALSE(m_watcher.LogLines().empty());
    EXPECT_EQ(m_watcher.LogLines().front(), box.text) << "the report is logged as well";

    DWORD count = 1;
    char byte;
    EXPECT_FALSE(m_port.ReadBytes(&byte, 1, &count));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(m_port.WriteText(L"RV;"));
    EXPECT_EQ(m_watcher.Boxes().size(), 1u) << "a closed port fails quietly";
    EXPECT_EQ(ProcessCensus(), withSim);
}

TEST_F(SerialPortPtyTest, CloseWithAnEventInFlightReturnsAndDropsIt)
{
    StartSim();
    const ProcessCensus before;
    Open();
    ASSERT_TRUE(m_port.WriteText(L"RV;"));
    // Without the loop running, the listener posts and then waits for the event to be
    // handled; Close must release it all the same.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    m_port.Close();
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(ProcessCensus(), before);
    m_watcher.Pump(100);
    EXPECT_EQ(m_watcher.Events(), 0) << "an event of a closed port reached the window";
}

}  // namespace
