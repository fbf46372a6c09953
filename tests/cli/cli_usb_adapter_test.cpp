// USB serial adapters as zr8 sees them, from recorded sysfs trees (tests/data/usb-adapters:
// folders and symbolic links as the kernel lays them out, with the /dev, /proc and /run
// each machine had): what "ports", "ports --json" and "doctor" print for each chip family,
// for a latency timer of 16 and of 1 ms, for an adapter brltty has taken, for ModemManager
// and for a port that has moved. A pseudo-terminal shows no USB fields.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "../sim/sim_process.h"
#include "cli/port_identity_sysfs.h"
#include "zr8_process.h"

namespace fs = std::filesystem;

namespace {

// A copy of one recorded machine (zr8 doctor opens its /dev entries read-write).
class CRecordedMachine {
public:
    explicit CRecordedMachine(const std::string& name, const std::string& procFrom = "",
                              const std::string& runFrom = "") {
        const fs::path data = fs::path(ZR8_TEST_DATA) / "usb-adapters";
        fs::copy(data / name, m_folder.Path(), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        m_roots.sys = m_folder.Path() / "sys";
        m_roots.dev = m_folder.Path() / "dev";
        m_roots.proc = procFrom.empty() ? m_folder.Path() / "proc" : data / procFrom;
        m_roots.run = runFrom.empty() ? m_folder.Path() / "run" : data / runFrom;
    }
    const CSystemRoots& Roots() const { return m_roots; }
    std::string Dev(const std::string& name) const { return (m_roots.dev / name).string(); }
    void Use(CZr8Home& home) const {
        home.SetEnvironment({"ZR8_SYSFS_ROOT=" + m_roots.sys.string(), "ZR8_DEV_ROOT=" + m_roots.dev.string(),
                             "ZR8_PROC_ROOT=" + m_roots.proc.string(), "ZR8_RUN_ROOT=" + m_roots.run.string()});
    }

private:
    CTempFolder m_folder;
    CSystemRoots m_roots;
};

// The "port" event of zr8 --json ports, from its "name" on (the time stamp varies).
std::string PortEvent(const std::string& out) {
    const size_t event = out.find("{\"event\":\"port\"");
    if (event == std::string::npos) return std::string();
    const size_t name = out.find("\"name\"", event);
    return out.substr(name, out.find('\n', name) - name);
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

struct ChipCase {
    const char* tree;
    const char* port;     // under the machine's /dev
    const char* device;   // what the by-id name points to
    const char* line;     // the identity line of "zr8 ports"
    const char* json;     // the port event's identity fields; R stands for the /dev root
};

const ChipCase kChips[] = {
    {"ftdi-latency-16", "serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0", "ttyUSB0",
     "  USB 0403:6001: FTDI FT232R \"FT232R USB UART\", driver ftdi_sio, serial number A10K, latency timer 16 ms",
     R"("vendorId":"0403","productId":"6001","maker":"FTDI","chip":"FT232R","manufacturer":"FTDI","product":"FT232R USB UART","serialNumber":"A10K","driver":"ftdi_sio","byId":"R/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0","usbDevice":"1-2","latencyMs":16)"},
    {"ftdi-latency-1", "serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0", "ttyUSB0",
     "  USB 0403:6001: FTDI FT232R \"FT232R USB UART\", driver ftdi_sio, serial number A10K, latency timer 1 ms",
     R"("vendorId":"0403","productId":"6001","maker":"FTDI","chip":"FT232R","manufacturer":"FTDI","product":"FT232R USB UART","serialNumber":"A10K","driver":"ftdi_sio","byId":"R/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0","usbDevice":"1-2","latencyMs":1)"},
    {"cp210x", "serial/by-id/usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_Controller_0001-if00-port0", "ttyUSB0",
     "  USB 10c4:ea60: Silicon Labs CP210x \"CP2102 USB to UART Bridge Controller\", driver cp210x, serial number 0001",
     R"("vendorId":"10c4","productId":"ea60","maker":"Silicon Labs","chip":"CP210x","manufacturer":"Silicon Labs","product":"CP2102 USB to UART Bridge Controller","serialNumber":"0001","driver":"cp210x","byId":"R/serial/by-id/usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_Controller_0001-if00-port0","usbDevice":"1-2")"},
    {"ch340", "serial/by-id/usb-1a86_USB_Serial-if00-port0", "ttyUSB0",
     "  USB 1a86:7523: WCH CH340 \"USB Serial\", driver ch341",
     R"("vendorId":"1a86","productId":"7523","maker":"WCH","chip":"CH340","product":"USB Serial","driver":"ch341","byId":"R/serial/by-id/usb-1a86_USB_Serial-if00-port0","usbDevice":"1-2")"},
    {"pl2303", "serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0", "ttyUSB0",
     "  USB 067b:2303: Prolific PL2303 \"USB-Serial Controller\", driver pl2303",
     R"("vendorId":"067b","productId":"2303","maker":"Prolific","chip":"PL2303","manufacturer":"Prolific Technology Inc.","product":"USB-Serial Controller","driver":"pl2303","byId":"R/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0","usbDevice":"1-2")"},
    {"cdc-acm", "serial/by-id/usb-STMicroelectronics_Virtual_COM_Port_3677368B3133-if00", "ttyACM0",
     "  USB 0483:5740: STMicroelectronics CDC-ACM \"Virtual COM Port\", driver cdc_acm, serial number 3677368B3133",
     R"("vendorId":"0483","productId":"5740","maker":"STMicroelectronics","chip":"CDC-ACM","manufacturer":"STMicroelectronics","product":"Virtual COM Port","serialNumber":"3677368B3133","driver":"cdc_acm","byId":"R/serial/by-id/usb-STMicroelectronics_Virtual_COM_Port_3677368B3133-if00","usbDevice":"1-3")"},
    // Ids that are no ids, a latency that is no number, a serial number that cannot be read
    // and a product string with control characters: what can be read, named by its driver.
    {"odd-values", "ttyUSB0", "", "  USB: FTDI \"FT232R USB UART\", driver ftdi_sio",
     R"("maker":"FTDI","product":"FT232R USB UART","driver":"ftdi_sio","usbDevice":"1-2")"},
};

TEST(UsbAdapters, PortsShowEachChipFamily) {
    for (const ChipCase& c : kChips) {
        SCOPED_TRACE(c.tree);
        CRecordedMachine machine(c.tree);
        CZr8Home home;
        machine.Use(home);
        const std::string port = machine.Dev(c.port);
        const std::string head = *c.device ? port + " -> " + machine.Dev(c.device) : port;
        const CZr8Result text = RunZr8(home, {"ports"});
        EXPECT_EQ(text.exitCode, 0) << text.err;
        EXPECT_EQ(text.out, head + "\n" + c.line + "\n");

        const CZr8Result json = RunZr8(home, {"--json", "ports"});
        EXPECT_EQ(json.exitCode, 0) << json.err;
        std::string fields = "\"name\":\"" + port + "\"";
        if (*c.device) fields += ",\"device\":\"" + machine.Dev(c.device) + "\"";
        fields += "," + Replace(c.json, "\"R/", "\"" + machine.Roots().dev.string() + "/") + "}";
        EXPECT_EQ(PortEvent(json.out), fields) << json.out;
    }
}

struct DoctorCase {
    const char* name;
    const char* tree;
    const char* proc;  // another recorded /proc; empty: the tree's own
    const char* run;
    const char* port;  // given to doctor; empty: every port listed
    std::vector<std::string> lines;  // standard output; D stands for the /dev root
};

TEST(UsbAdapters, DoctorFindsWhatStealsOrSlowsThePort) {
    const std::string byId = "D/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0";
    const std::string ftdi = "  USB 0403:6001: FTDI FT232R \"FT232R USB UART\", driver ftdi_sio, serial number A10K, ";
    const std::string noZr8 = byId + ": no ZR8 (error 0x00000001: Incorrect function.)";
    const std::vector<DoctorCase> cases = {
        {"Latency16", "ftdi-latency-16", "", "", "",
         {noZr8, ftdi + "latency timer 16 ms",
          byId + ": the adapter's latency timer is 16 ms: each reply waits up to 16 ms in the adapter, about 14.9 s more "
                 "for a firmware load (993 packets) than at 1 ms",
          "  Fix: echo 1 | sudo tee /sys/bus/usb-serial/devices/ttyUSB0/latency_timer (the zr8 package's udev rule "
          "sets 1 ms on every FTDI adapter plugged in)",
          "0 of 1 ports have a ZR8"}},
        {"Latency1", "ftdi-latency-1", "", "", "", {noZr8, ftdi + "latency timer 1 ms", "0 of 1 ports have a ZR8"}},
        {"Brltty", "ch340-brltty", "", "", "",
         {"WCH CH340 (1a86:7523) at USB 1-4 is on the bus but has no serial port: brltty has claimed it",
          "  Fix: sudo apt remove brltty (to keep it for a braille display: sudo systemctl mask brltty-udev.service), "
          "then plug the adapter in again"}},
        {"NoDriver", "cp210x-no-driver", "", "", "",
         {"Silicon Labs CP210x (10c4:ea60) at USB 1-5 is on the bus but has no serial port: no driver has taken it",
          "  Fix: sudo modprobe cp210x, then plug the adapter in again"}},
        {"ModemManager", "ftdi-latency-1", "modemmanager/proc", "", "",
         {noZr8, ftdi + "latency timer 1 ms",
          byId + ": ModemManager is running and has not been told to leave this adapter alone: it may open the port "
                 "and send it AT commands for seconds after it appears",
          "  Fix: a udev rule ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", ENV{ID_MM_DEVICE_IGNORE}=\"1\" "
          "(or: sudo systemctl disable --now ModemManager)",
          "0 of 1 ports have a ZR8"}},
        {"ModemManagerToldToIgnore", "ftdi-latency-1", "modemmanager/proc", "modemmanager/run-ignored", "",
         {noZr8, ftdi + "latency timer 1 ms", "0 of 1 ports have a ZR8"}},
        {"PortMoved", "ftdi-moved", "", "", "ttyUSB0",
         {"D/ttyUSB0: no ZR8 (error 0x00000002: The system cannot find the file specified.)",
          "D/ttyUSB0 is gone, and a USB serial port is now at D/ttyUSB1: an adapter plugged in again or reset while "
          "open comes back under the next free name",
          "  Fix: give the name that stays: --port " + byId, "0 of 1 ports have a ZR8"}},
    };
    for (const DoctorCase& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordedMachine machine(c.tree, c.proc, c.run);
        CZr8Home home;
        machine.Use(home);
        std::vector<std::string> args{"--timeout", "1", "doctor"};
        if (*c.port) args.push_back(machine.Dev(c.port));
        const CZr8Result r = RunZr8(home, args);
        std::string expected;
        for (const std::string& line : c.lines) expected += Replace(line, "D/", machine.Roots().dev.string() + "/") + "\n";
        EXPECT_EQ(r.out, expected) << r.err;
        EXPECT_EQ(r.exitCode, 1);
    }
}

TEST(UsbAdapters, DoctorFindingsAreJsonEvents) {
    CRecordedMachine machine("ch340-brltty");
    CZr8Home home;
    machine.Use(home);
    const CZr8Result r = RunZr8(home, {"--json", "doctor"});
    EXPECT_TRUE(Contains(r.out, R"("text":"WCH CH340 (1a86:7523) at USB 1-4 is on the bus but has no serial port: )"
                                R"(brltty has claimed it","fix":"sudo apt remove brltty)"))
        << r.out;
}

TEST(UsbAdapters, PseudoTerminalHasNoUsbFields) {
    CSimProcess sim({"--baud-model", "instant"});
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    CRecordedMachine machine("ftdi-latency-16");  // a machine with an adapter: the terminal is still no adapter
    CZr8Home home;
    machine.Use(home);
    const CZr8Result r = RunZr8(home, {"--timeout", "3", "doctor", sim.SlavePath()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, sim.SlavePath() + ": ZR8, application firmware, MCU version 01.23, serial number 12345, 9600 bit/s\n"
                                       "1 of 1 ports have a ZR8\n");
    EXPECT_FALSE(IdentifyPortUnder(machine.Roots(), CodePages::FromUtf8(sim.SlavePath())).Known());
}

TEST(UsbAdapters, ReaderGivesWhatCanBeRead) {
    CRecordedMachine machine("ftdi-latency-16");
    const CSystemRoots& roots = machine.Roots();
    // A built-in port is a tty without a USB device above it.
    EXPECT_FALSE(IdentifyTty(roots, "ttyS0").Known());
    EXPECT_FALSE(IdentifyTty(roots, "ttyUSB7").Known());
    EXPECT_FALSE(IdentifyTty(roots, "").Known());
    EXPECT_EQ(KernelTtyName(roots, CodePages::FromUtf8(machine.Dev("serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0"))),
              "ttyUSB0");

    // Files taken away one by one: what remains is still read.
    const fs::path usb = roots.sys / "devices/pci0000:00/0000:00:14.0/usb1/1-2";
    fs::remove(usb / "1-2:1.0/ttyUSB0/latency_timer");
    fs::remove(usb / "serial");
    fs::remove(usb / "1-2:1.0/driver");
    CPortIdentity identity = IdentifyTty(roots, "ttyUSB0");
    EXPECT_EQ(identity.latencyMs, -1);
    EXPECT_EQ(identity.serialNumber, L"");
    EXPECT_EQ(identity.driver, L"ftdi_sio");  // the usb-serial port's own driver link
    EXPECT_EQ(identity.chip, L"FT232R");
    fs::remove(usb / "idProduct");
    fs::remove(usb / "1-2:1.0/ttyUSB0/driver");
    identity = IdentifyTty(roots, "ttyUSB0");
    EXPECT_EQ(identity.productId, L"");
    EXPECT_EQ(identity.driver, L"");
    EXPECT_EQ(identity.maker, L"FTDI");  // the maker from the vendor id alone
    EXPECT_TRUE(identity.IsUsb());

    // sysfs missing altogether.
    CSystemRoots empty = roots;
    empty.sys = roots.sys / "missing";
    EXPECT_FALSE(IdentifyTty(empty, "ttyUSB0").Known());
}

TEST(UsbAdapters, IdsAndStringsAsTheDeviceGivesThem) {
    const std::pair<const char*, const wchar_t*> ids[] = {
        {"0403\n", L"0403"}, {"10C4", L"10c4"}, {"", L""}, {"zz", L""}, {"60011", L""}, {"040", L""}, {"04 3", L""},
    };
    for (const auto& [raw, id] : ids) EXPECT_EQ(UsbIdText(raw), id) << raw;
    EXPECT_EQ(DeviceString("FT232R\tUSB\x01 UART  \n"), L"FT232R USB UART");
    EXPECT_EQ(DeviceString("line one\nline two"), L"line one");
    EXPECT_EQ(DeviceString(std::string(300, 'x')).size(), 126u);
}

}  // namespace
