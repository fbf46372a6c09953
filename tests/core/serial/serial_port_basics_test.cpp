// What CSerialPort does before any device is involved: names, rates, a closed port.
#include <gtest/gtest.h>

#include <memory>

#include "core/serial/serial_device.h"
#include "core/serial/serial_port.h"
#include "core/text/error_codes.h"
#include "platform/code_pages.h"
#include "port_watcher.h"

namespace {

TEST(SerialPortBasics, EmptyNameIsRefusedAndLeavesThePortClosed)
{
    CSerialPort port;
    CPortWatcher watcher(port);
    EXPECT_EQ(port.Open(L""), Zr8Error::PortNameMissing);
    EXPECT_EQ(GetLastError(), Zr8Error::PortNameMissing);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(watcher.Boxes().empty());
}

TEST(SerialPortBasics, OnlyTheListedRatesAreAccepted)
{
    CSerialPort port;
    for (DWORD rate : {4800u, 9600u, 19200u, 38400u, 57600u, 115200u, 230400u})
        EXPECT_TRUE(CSerialPort::IsAcceptedBaudRate(rate)) << rate;
    for (DWORD rate : {0u, 1200u, 2400u, 14400u, 28800u, 460800u}) {
        EXPECT_FALSE(CSerialPort::IsAcceptedBaudRate(rate)) << rate;
        EXPECT_EQ(port.SetBaudRate(rate), static_cast<DWORD>(E_INVALIDARG)) << rate;
    }
    EXPECT_EQ(port.SetBaudRate(1200), 0x80070057u);
}

TEST(SerialPortBasics, ClosedPortFailsQuietlyWithInvalidHandle)
{
    CSerialPort port;
    CPortWatcher watcher(port);
    char buffer[4];
    DWORD count = 7;
    const struct {
        const char* what;
        std::function<BOOL()> call;
    } cases[] = {
        {"ReadBytes", [&] { return port.ReadBytes(buffer, sizeof buffer, &count); }},
        {"WriteBytes", [&] { return port.WriteBytes("RV;", 3); }},
        {"WriteText", [&] { return port.WriteText(L"RV;"); }},
        {"PurgeReceive", [&] { return port.PurgeReceive(); }},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(c.call()) << c.what;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << c.what;
    }
    EXPECT_EQ(count, 0u);
    // Nothing to send succeeds without a port.
    EXPECT_TRUE(port.WriteText(L""));
    EXPECT_TRUE(port.WriteText(nullptr));
    EXPECT_TRUE(port.WriteBytes(nullptr, 5));
    port.Close();
    port.Close();
    EXPECT_TRUE(watcher.Boxes().empty());
}

#ifndef _WIN32
TEST(SerialPortBasics, PortNamesMapToDevices)
{
    const struct {
        const wchar_t* name;
        const wchar_t* path;
    } cases[] = {
        {L"/dev/ttyUSB0", L"/dev/ttyUSB0"},
        {L"/tmp/zr8sim-tty", L"/tmp/zr8sim-tty"},
        {L"ttyUSB1", L"/dev/ttyUSB1"},
        {L"pts/3", L"/dev/pts/3"},
        {L"COM1", L"/dev/ttyS0"},
        {L"com12", L"/dev/ttyS11"},
        {L"COM256", L"/dev/ttyS255"},
        {L"COM0", L"/dev/COM0"},
        {L"COM257", L"/dev/COM257"},
        {L"COM", L"/dev/COM"},
        {L"COMX", L"/dev/COMX"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSerialPort::DevicePath(c.name), c.path) << CodePages::ToUtf8(c.name);
}
#else
TEST(SerialPortBasics, PortNamesOpenAsDosDevices)
{
    EXPECT_EQ(CSerialPort::DevicePath(L"COM12"), L"\\\\.\\COM12");
}
#endif

// A device that is only there to be found.
class CNullDevice : public ISerialDevice {
public:
    explicit CNullDevice(int tag) : tag(tag) {}
    void SetBytesWaitingCallback(std::function<void()>) override {}
    DWORD SetBaudRate(DWORD) override { return 0; }
    DWORD Write(const uint8_t*, size_t length, size_t& written) override
    {
        written = length;
        return 0;
    }
    DWORD Read(uint8_t*, size_t, size_t& count) override
    {
        count = 0;
        return 0;
    }
    DWORD PurgeReceive() override { return 0; }
    size_t BytesWaiting() const override { return 0; }
    int tag;
};

int TagOf(const std::unique_ptr<ISerialDevice>& device)
{
    auto* null = dynamic_cast<CNullDevice*>(device.get());
    return null ? null->tag : 0;
}

TEST(SerialDeviceRegistry, NamesAreFoundWithoutRegardToCaseAndReplaced)
{
    RegisterSerialDevice(L"RegTest", [] { return std::make_unique<CNullDevice>(1); });
    EXPECT_EQ(TagOf(CreateRegisteredSerialDevice(L"regtest")), 1);
    EXPECT_EQ(TagOf(CreateRegisteredSerialDevice(L"REGTEST")), 1);
    EXPECT_EQ(CreateRegisteredSerialDevice(L"RegTest2"), nullptr);

    RegisterSerialDevice(L"REGTEST", [] { return std::make_unique<CNullDevice>(2); });
    EXPECT_EQ(TagOf(CreateRegisteredSerialDevice(L"RegTest")), 2);

    UnregisterSerialDevice(L"regTEST");
    EXPECT_EQ(CreateRegisteredSerialDevice(L"RegTest"), nullptr);
}

}  // namespace
