// zr8 with a radio behind a real port server on 127.0.0.1: ser2net with a
// telnet(rfc2217) accepter and with a raw one, and a server on pyserial's RFC 2217 port
// manager, each in front of zr8sim's pseudo-terminal. Every command a user runs works
// through each, a firmware full of 0xFF bytes lands whole, and every way of not reaching
// a server ends with its own advice line, in seconds.
#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <memory>
#include <csignal>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "../sim/sim_process.h"
#include "ftp_server_process.h"
#include "port_server_process.h"
#include "zr8_process.h"

namespace {

const std::string kQuickRadio = "--baud-model instant --flash-ms 0 --restart-ms 10";

std::vector<std::string> QuickSim(const std::string& dump)
{
    return {"--baud-model", "instant", "--flash-ms", "0", "--restart-ms", "10", "--flash-dump", dump};
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The line that follows "Error code ...: ...\n" on the error stream, or "" when none.
std::string AdviceAfter(const std::string& err, const std::string& codeLine)
{
    const size_t at = err.find(codeLine + "\n");
    if (at == std::string::npos)
        return std::string();
    const size_t start = at + codeLine.size() + 1;
    const size_t end = err.find('\n', start);
    return err.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

struct ServerCase {
    const char* name;
    PortServerKind kind;
};

class NetworkRadioTest : public ::testing::TestWithParam<ServerCase> {
protected:
    // One firmware file and its flash after a load straight into the radio, for every
    // server. Code up to 0x2000 only: the rest of the image is 0xFF, doubled on every
    // Telnet connection.
    static void SetUpTestSuite()
    {
        files = new CZr8Home;
        firmware = (files->Path() / "zr8_0124.hex").string();
        ASSERT_TRUE(MakeFirmware(firmware, {"--version", "124", "--code-end", "2000"}));
        const std::string reference = (files->Path() / "reference.bin").string();
        const CZr8Result direct = RunZr8(
            *files, {"--port", "sim", "--sim", kQuickRadio + " --flash-dump " + reference, "flash", "--no-backup", firmware});
        ASSERT_EQ(direct.exitCode, 0) << direct.err;
        image = ReadFile(reference);
    }
    static void TearDownTestSuite()
    {
        delete files;
        files = nullptr;
    }
    void SetUp() override { ASSERT_GT(std::count(image.begin(), image.end(), '\xFF'), 40000) << "no long runs of 0xFF"; }

    static CZr8Home* files;
    static std::string firmware;
    static std::string image;
    CZr8Home home;
};

CZr8Home* NetworkRadioTest::files = nullptr;
std::string NetworkRadioTest::firmware;
std::string NetworkRadioTest::image;

TEST_P(NetworkRadioTest, EveryCommandWorksThroughTheServer)
{
    const std::string dump = (home.Path() / "flash.bin").string();
    CSimProcess sim(QuickSim(dump));
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    CPortServerProcess server(GetParam().kind, sim.SlavePath());
    ASSERT_TRUE(server.Start()) << server.Log();
    const std::string url = server.Url();

    const CZr8Result info = RunZr8(home, {"--port", url, "--timeout", "5", "info"});
    ASSERT_EQ(info.exitCode, 0) << info.err << server.Log();
    EXPECT_TRUE(Contains(info.out, "Serial number: 12345")) << info.out;

    const CZr8Result flash = RunZr8(home, {"--port", url, "--yes", "flash", "--no-backup", firmware});
    ASSERT_EQ(flash.exitCode, 0) << flash.err << server.Log();
    EXPECT_TRUE(Contains(flash.err, "MCU firmware version verified")) << flash.err;
    EXPECT_FALSE(Contains(flash.err, "retries")) << flash.err;
    EXPECT_TRUE(ReadFile(dump) == image) << "the radio's flash differs from the image";

    const std::string saved = (home.Path() / "radio.ZR8Config").string();
    const CZr8Result save = RunZr8(home, {"--port", url, "save-config", saved});
    ASSERT_EQ(save.exitCode, 0) << save.err;
    const CZr8Result banner = RunZr8(home, {"--port", url, "banner", "REMOTE"});
    ASSERT_EQ(banner.exitCode, 0) << banner.err;
    EXPECT_EQ(RunZr8(home, {"--port", url, "banner"}).out, "Power-on banner: \"REMOTE\"\n");
    const CZr8Result restore = RunZr8(home, {"--port", url, "--yes", "restore-config", saved});
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    EXPECT_EQ(RunZr8(home, {"--port", url, "banner"}).out, "Power-on banner: \"ZR8 HF\"\n");
}

INSTANTIATE_TEST_SUITE_P(Servers, NetworkRadioTest,
                         ::testing::Values(ServerCase{"Ser2NetTelnet", PortServerKind::Ser2NetTelnet},
                                           ServerCase{"Ser2NetRaw", PortServerKind::Ser2NetRaw},
                                           ServerCase{"PyserialRfc2217", PortServerKind::Pyserial}),
                         [](const auto& info) { return std::string(info.param.name); });

// The server dies in the middle of the load: the radio is left in its boot loader, and
// the next flash, through a server started again, finds it there and completes.
TEST(NetworkRadio, ServerKilledMidLoadThenTheNextFlashCompletes)
{
    CZr8Home home;
    const std::string firmware = (home.Path() / "zr8_0124.hex").string();
    ASSERT_TRUE(MakeFirmware(firmware, {"--version", "124"}));
    CSimProcess sim(QuickSim((home.Path() / "flash.bin").string()));
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    CPortServerProcess server(PortServerKind::Ser2NetTelnet, sim.SlavePath());
    ASSERT_TRUE(server.Start()) << server.Log();

    bool killed = false;
    const CZr8Result cut = RunZr8(home, {"--port", server.Url(), "flash", "--no-backup", firmware}, 60000,
                                  [&](const std::string& err, int) {
                                      if (!killed && Contains(err, "Progress 20%")) {
                                          server.Kill();
                                          killed = true;
                                      }
                                  });
    ASSERT_TRUE(killed) << cut.err;
    EXPECT_EQ(cut.exitCode, 1) << cut.err;
    EXPECT_EQ(AdviceAfter(cut.err, "Error code 0x00000005: Access is denied."),
              "The adapter on " + server.Url() +
                  " went away during the firmware load: the radio is left in its boot loader. Plug the cable in again "
                  "and run zr8 flash again.")
        << cut.err;

    // A radio cut off in the packet phase counts every poll as packet bytes and answers
    // none: it takes switching off and on, after which it starts in its boot loader.
    sim.Signal(SIGUSR1);
    ASSERT_TRUE(server.Start()) << server.Log();
    const CZr8Result again = RunZr8(home, {"--port", server.Url(), "--yes", "flash", "--no-backup", firmware});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_TRUE(Contains(again.err, "MCU firmware version verified")) << again.err;
    EXPECT_TRUE(Contains(again.err, "Installed version ??.?? -> file version 01.24")) << "not found in its boot loader\n"
                                                                                   << again.err;
}

// A listening socket whose queue is full: the next connect gets no answer at all.
class CDeafListener {
public:
    CDeafListener()
    {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), size);
        listen(m_listener, 0);
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
        // Fill the queue (a backlog of 0 still takes one) and never accept.
        for (int& filler : m_fillers) {
            filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            connect(filler, reinterpret_cast<sockaddr*>(&address), size);
        }
        usleep(100000);
    }
    ~CDeafListener()
    {
        for (int filler : m_fillers)
            close(filler);
        close(m_listener);
    }
    int Port() const { return m_port; }

private:
    int m_listener = -1;
    int m_fillers[3] = {-1, -1, -1};
    int m_port = 0;
};

struct UnreachedCase {
    const char* name;
    std::string url;  // PORT: a port nothing listens on; DEAF: a listener that never answers; RAW: ser2net raw
    std::string codeLine;
    std::string advice;  // the start of the advice line
};

class UnreachedServerTest : public ::testing::TestWithParam<UnreachedCase> {};

TEST_P(UnreachedServerTest, SaysWhatFailedAndWhatToDo)
{
    CZr8Home home;
    const UnreachedCase& c = GetParam();
    std::string url = c.url;
    CDeafListener deaf;
    std::unique_ptr<CSimProcess> sim;
    std::unique_ptr<CPortServerProcess> raw;
    if (url.find("RAW") != std::string::npos) {
        sim = std::make_unique<CSimProcess>(QuickSim((home.Path() / "flash.bin").string()));
        raw = std::make_unique<CPortServerProcess>(PortServerKind::Ser2NetRaw, sim->SlavePath());
        ASSERT_TRUE(raw->Start()) << raw->Log();
        url.replace(url.find("RAW"), 3, std::to_string(raw->Port()));
    }
    if (url.find("PORT") != std::string::npos)
        url.replace(url.find("PORT"), 4, std::to_string(FreePort()));
    if (url.find("DEAF") != std::string::npos)
        url.replace(url.find("DEAF"), 4, std::to_string(deaf.Port()));

    const CZr8Result r = RunZr8(home, {"--port", url, "--timeout", "8", "info"}, 30000);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    const std::string advice = AdviceAfter(r.err, c.codeLine);
    EXPECT_EQ(advice.rfind(c.advice + url, 0), 0u) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, UnreachedServerTest,
    ::testing::Values(
        UnreachedCase{"UnknownHost", "rfc2217://no-such-host.invalid:2217", "Error code 0x00002AF9: No such host is known.",
                      "The host of "},
        UnreachedCase{"Refused", "rfc2217://127.0.0.1:PORT",
                      "Error code 0x0000274D: No connection could be made because the target machine actively refused it.",
                      "Nothing listens at "},
        UnreachedCase{"NoAnswer", "socket://127.0.0.1:DEAF",
                      "Error code 0x0000274C: A connection attempt failed because the connected party did not properly "
                      "respond after a period of time, or established connection failed because connected host has failed "
                      "to respond.",
                      "The host of "},
        UnreachedCase{"NoTelnet", "rfc2217://127.0.0.1:RAW",
                      "Error code 0xE2000053: The server does not answer as a Telnet (RFC 2217) port server",
                      "The server at "},
        UnreachedCase{"Malformed", "rfc2217://127.0.0.1", "Error code 0x0000007B: The filename, directory name, or volume label syntax is incorrect.",
                      ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
