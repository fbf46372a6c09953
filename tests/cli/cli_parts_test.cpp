// The pieces of zr8 that need no radio: where the global options end and the command's
// arguments begin, and the rules of the port listing.
#include <gtest/gtest.h>

#include <filesystem>

#include "../platform/temp_folder.h"
#include "cli/cli_options.h"
#include "cli/port_list.h"
#include "platform/settings_store.h"

namespace {

TEST(CliOptions, GlobalOptionsStandAnywhereButAfterSim) {
    struct Case {
        std::vector<std::string> args;
        std::string command;
        std::vector<std::string> commandArgs;
        std::wstring port;
        bool trace;
    };
    const std::vector<Case> cases = {
        {{"--port", "COM3", "info"}, "info", {}, L"COM3", false},
        {{"info", "--port", "sim", "--trace"}, "info", {}, L"sim", true},
        {{"send", "RV", "--trace", "SN"}, "send", {"RV", "SN"}, L"", true},
        {{"flash", "--folder", "/fw"}, "flash", {"--folder", "/fw"}, L"", false},
        {{"--trace", "sim", "--version", "117", "--trace", "--help"}, "sim", {"--version", "117", "--trace", "--help"}, L"", true},
    };
    for (const Case& c : cases) {
        CGlobalOptions options;
        std::string error;
        ASSERT_TRUE(ParseGlobalOptions(c.args, options, error)) << error;
        EXPECT_EQ(options.command, c.command);
        EXPECT_EQ(options.commandArgs, c.commandArgs);
        EXPECT_EQ(options.port, c.port);
        EXPECT_EQ(options.trace, c.trace);
        EXPECT_FALSE(options.help) << c.command;
    }
}

TEST(CliOptions, SimulatedPortNames) {
    for (const wchar_t* name : {L"sim", L"SIM", L"Sim"}) EXPECT_TRUE(IsSimulatedPortName(name)) << name;
    for (const wchar_t* name : {L"", L"simx", L"/dev/sim", L"COM1"}) EXPECT_FALSE(IsSimulatedPortName(name)) << name;
}

TEST(CliPorts, SerialCommValuesListed) {
    struct Case {
        const wchar_t* valueName;
        DWORD type;
        const wchar_t* data;
        bool listed;
    };
    const Case cases[] = {
        {L"\\Device\\Serial0", kRegSz, L"COM1", true},
        {L"winachsf0", kRegSz, L"COM3", false},
        {L"WinAchSf0", kRegSz, L"COM3", false},
        {L"winachsf00", kRegSz, L"COM3", true},
        {L"\\Device\\VCP0", kRegSz, L"", false},
        {L"\\Device\\VCP0", kRegDword, L"COM4", false},
        {L"\\Device\\VCP0", kRegExpandSz, L"COM4", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsListedSerialCommValue(c.valueName, c.type, c.data), c.listed) << c.valueName;
}

TEST(CliPorts, NamesInNaturalOrder) {
    EXPECT_TRUE(NaturalLess(L"COM2", L"COM10"));
    EXPECT_FALSE(NaturalLess(L"COM10", L"COM2"));
    EXPECT_TRUE(NaturalLess(L"com3", L"COM4"));
    EXPECT_TRUE(NaturalLess(L"/dev/ttyUSB9", L"/dev/ttyUSB10"));
    EXPECT_FALSE(NaturalLess(L"COM1", L"COM1"));
}

TEST(CliPorts, ByIdNamesThenAdaptersTheyDoNotCover) {
    CTempFolder dev;
    namespace fs = std::filesystem;
    const fs::path root = dev.Path();
    fs::create_directories(root / "serial" / "by-id");
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyUSB10", "ttyACM0", "ttyS0", "tty"}) std::ofstream(root / name) << "";
    fs::create_symlink("../../ttyUSB1", root / "serial" / "by-id" / "usb-FTDI_FT232R_A1-if00-port0");
    fs::create_symlink("../../ttyACM0", root / "serial" / "by-id" / "usb-Orvandel_ZR8-if00");

    const std::vector<CPortEntry> ports = ListSerialPortsUnder(root.string());
    std::vector<std::wstring> shown;
    for (const CPortEntry& p : ports) shown.push_back(p.device.empty() ? p.name : p.name + L" -> " + p.device);
    const std::wstring r = root.wstring();
    const std::vector<std::wstring> expected = {
        r + L"/serial/by-id/usb-FTDI_FT232R_A1-if00-port0 -> " + r + L"/ttyUSB1",
        r + L"/serial/by-id/usb-Orvandel_ZR8-if00 -> " + r + L"/ttyACM0",
        r + L"/ttyUSB0",
        r + L"/ttyUSB10",
    };
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(ListSerialPortsUnder((root / "missing").string()).empty());
}

}  // namespace
