// CSerialPort's Win32 device under Wine, against zr8sim on a pseudo-terminal that the
// test's Wine prefix maps to a COM port (com_port_fixture.sh). The port's name comes
// from ZR8_TEST_COM_PORT.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/serial/serial_port.h"
#include "core/text/error_codes.h"
#include "platform/code_pages.h"
#include "port_watcher.h"

namespace {

class SerialPortComTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* name = std::getenv("ZR8_TEST_COM_PORT");
        if (!name || !*name)
            GTEST_SKIP() << "ZR8_TEST_COM_PORT is not set (the COM port fixture maps one)";
        m_name = CodePages::FromUtf8(name);
        ASSERT_EQ(m_port.Open(m_name), 0u) << "cannot open " << name;
        // Whatever an earlier run left on the line.
        m_watcher.Pump(50);
        m_port.PurgeReceive();
        m_watcher.TakeReceived();
    }

    std::string Ask(const wchar_t* command)
    {
        m_watcher.TakeReceived();
        EXPECT_TRUE(m_port.WriteText(command));
        EXPECT_TRUE(m_watcher.WaitForAnswer()) << "no answer to " << CodePages::ToUtf8(command);
        return m_watcher.TakeReceived();
    }

    std::wstring m_name;
    CSerialPort m_port;
    CPortWatcher m_watcher{m_port};
};

TEST_F(SerialPortComTest, ExchangesCommandsThroughTheComPort)
{
    EXPECT_EQ(m_port.BaudRate(), 9600u);
    EXPECT_EQ(Ask(L"RV;"), "RV01.23;");
    EXPECT_EQ(Ask(L"SN;"), "SN12345;");
    EXPECT_EQ(Ask(L"I;"), "ZR8;");
    EXPECT_TRUE(m_watcher.Boxes().empty());
}

TEST_F(SerialPortComTest, AnswersDoNotFloodTheWindow)
{
    // Wine reports EV_RXCHAR for as long as bytes wait: an answer nobody reads is still
    // announced once, and a read answer costs a message or two, not one per wait.
    m_watcher.SetReading(CPortWatcher::Reading::None);
    ASSERT_TRUE(m_port.WriteText(L"RV;"));
    ASSERT_TRUE(m_watcher.WaitFor([&] { return m_watcher.Events() > 0; }));
    m_watcher.Pump(300);
    EXPECT_EQ(m_watcher.Events(), 1);

    m_watcher.SetReading(CPortWatcher::Reading::All);
    const int before = m_watcher.Events();
    ASSERT_TRUE(m_port.WriteText(L"SN;"));
    ASSERT_TRUE(m_watcher.WaitFor([&] { return m_watcher.Received().size() >= 16; }));
    m_watcher.Pump(300);
    EXPECT_EQ(m_watcher.TakeReceived(), "RV01.23;SN12345;");
    const int forAnswer = m_watcher.Events() - before;
    EXPECT_GE(forAnswer, 1);
    EXPECT_LE(forAnswer, 3) << "messages for one 8-byte answer";
}

TEST_F(SerialPortComTest, OpeningAnOpenPortKeepsIt)
{
    EXPECT_EQ(m_port.Open(L"COM99"), 0u);
    EXPECT_EQ(m_port.PortName(), m_name);
    EXPECT_EQ(Ask(L"I;"), "ZR8;");
}

TEST_F(SerialPortComTest, BitRateReachesTheLineAndOddRatesAreRefused)
{
    EXPECT_EQ(m_port.SetBaudRate(1200), 0x80070057u);
    EXPECT_EQ(m_port.BaudRate(), 9600u);
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

TEST_F(SerialPortComTest, ClosedPortLeavesTheNameFreeAndFailsQuietly)
{
    m_port.Close();
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_FALSE(m_port.WriteText(L"RV;"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(m_port.Open(L""), Zr8Error::PortNameMissing);
    EXPECT_EQ(m_port.Open(m_name), 0u);
    EXPECT_EQ(Ask(L"I;"), "ZR8;");
    EXPECT_TRUE(m_watcher.Boxes().empty());
}

}  // namespace
