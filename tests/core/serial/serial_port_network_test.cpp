// CSerialPort's network device against a small scripted Telnet server in this process:
// what the device makes of a server that refuses COM-PORT-OPTION, one that keeps another
// rate, 0xFF doubled in the data, and a connection the server closes.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "core/serial/serial_port.h"
#include "platform/code_pages.h"
#include "port_watcher.h"
#include "tests/case_name.h"

namespace {

using Bytes = std::string;
constexpr char IAC = '\xFF', SB = '\xFA', SE = '\xF0', WILL = '\xFB', DO = '\xFD', DONT = '\xFE';
constexpr char COM = 44;

// One connection: sends the greeting at once, answers SET-BAUDRATE with rateAnswer and
// "I;" with the answer, then closes when told to.
class CScriptedServer {
public:
    CScriptedServer(Bytes greeting, Bytes rateAnswer, Bytes answer, bool closeAfterAnswer)
    {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), size);
        listen(m_listener, 1);
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this, greeting, rateAnswer, answer, closeAfterAnswer] {
            const int fd = accept(m_listener, nullptr, nullptr);
            if (fd < 0)
                return;
            (void)!write(fd, greeting.data(), greeting.size());
            std::string got;
            char buffer[512];
            ssize_t n;
            while ((n = read(fd, buffer, sizeof buffer)) > 0) {
                got.append(buffer, static_cast<size_t>(n));
                const size_t request = got.find(Bytes{IAC, SB, COM, 1});
                if (request != std::string::npos) {
                    (void)!write(fd, rateAnswer.data(), rateAnswer.size());
                    got.erase(0, request + 4);
                }
                if (got.find("I;") != std::string::npos) {
                    (void)!write(fd, answer.data(), answer.size());
                    got.clear();
                    if (closeAfterAnswer)
                        break;
                }
            }
            close(fd);
        });
    }
    ~CScriptedServer()
    {
        shutdown(m_listener, SHUT_RDWR);
        close(m_listener);
        m_thread.join();
    }
    std::wstring Url() const { return L"rfc2217://127.0.0.1:" + std::to_wstring(m_port); }

private:
    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
};

Bytes RateAnswer(uint32_t rate)
{
    return Bytes{IAC, SB, COM, 101, char(rate >> 24), char(rate >> 16), char(rate >> 8), char(rate), IAC, SE};
}

struct ServerCase {
    const char* name;
    Bytes greeting;
    Bytes rateAnswer;
    DWORD openResult;
};

class NetworkDevice : public testing::TestWithParam<ServerCase> {};

TEST_P(NetworkDevice, OpensWhereTheRateIsRightAndCarries0xFF)
{
    const ServerCase& c = GetParam();
    CScriptedServer server(c.greeting, c.rateAnswer, Bytes{'Z', IAC, IAC, 'R', '8', ';'}, false);
    CSerialPort port;
    CPortWatcher watcher(port);
    ASSERT_EQ(port.Open(server.Url()), c.openResult);
    if (c.openResult != 0) {
        EXPECT_FALSE(port.IsOpen());
        return;
    }
    EXPECT_TRUE(watcher.Boxes().empty());
    ASSERT_TRUE(port.WriteText(L"I;"));
    ASSERT_TRUE(watcher.WaitForAnswer());
    EXPECT_EQ(watcher.TakeReceived(), (Bytes{'Z', IAC, 'R', '8', ';'}));
}

INSTANTIATE_TEST_SUITE_P(
    Servers, NetworkDevice,
    testing::Values(
        ServerCase{"accepts and sets the rate", Bytes{IAC, DO, COM}, RateAnswer(9600), 0},
        // The line stays as the server has it: nothing to check, nothing to refuse.
        ServerCase{"refuses the com port option", Bytes{IAC, DONT, COM, IAC, WILL, 0}, "", 0},
        ServerCase{"answers with no rate", Bytes{IAC, DO, COM}, RateAnswer(0), 0},
        ServerCase{"keeps another rate", Bytes{IAC, DO, COM}, RateAnswer(4800), DWORD{ERROR_INVALID_PARAMETER}}),
    [](const testing::TestParamInfo<ServerCase>& info) { return CaseName(info.param.name); });

TEST(NetworkDeviceLoss, ClosedConnectionIsTheVanishedAdapter)
{
    CScriptedServer server(Bytes{IAC, DO, COM}, RateAnswer(9600), "ZR8;", true);
    CSerialPort port;
    CPortWatcher watcher(port);
    ASSERT_EQ(port.Open(server.Url()), 0u);
    ASSERT_TRUE(port.WriteText(L"I;"));
    ASSERT_TRUE(watcher.WaitFor([&] { return !port.IsOpen(); }));
    EXPECT_EQ(watcher.Received(), "ZR8;");
    EXPECT_EQ(port.LossCode(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ASSERT_EQ(watcher.Boxes().size(), 1u);
}

}  // namespace
