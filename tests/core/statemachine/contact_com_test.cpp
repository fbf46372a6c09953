// The contact machine as the Windows program runs it: a real Win32 message loop and
// window timers, the Win32 serial device, and zr8sim on a pseudo-terminal that the test's
// Wine prefix maps to a COM port (tests/core/serial/com_port_fixture.sh). The port's name
// comes from ZR8_TEST_COM_PORT.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/model/contact_state_machine.h"
#include "machine_bench.h"
#include "platform/code_pages.h"

namespace {

TEST(ContactComTest, FindsTheSimulatedRadioOnAComPort)
{
    const char* name = std::getenv("ZR8_TEST_COM_PORT");
    if (!name || !*name)
        GTEST_SKIP() << "ZR8_TEST_COM_PORT is not set (the COM port fixture maps one)";

    CMachineBench bench;
    bench.model.m_port.Set(CodePages::FromUtf8(name));
    bench.model.ContactMachine().StartOpenPort();
    ASSERT_TRUE(bench.RunUntilIdle(bench.model.ContactMachine(), 30000));

    EXPECT_EQ(bench.model.ContactMachine().Result(), 0u);
    EXPECT_EQ(bench.model.m_device.Get(), DeviceZR8);
    EXPECT_EQ(bench.model.m_firmwareStatus.Get(), FirmwareStatusApplication);
    EXPECT_EQ(bench.model.m_mcuVersion.Get(), 123);
    EXPECT_EQ(bench.model.m_serialNumber.Get(), 12345);
    EXPECT_EQ(bench.model.SerialPort().BaudRate(), 9600u);
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0});
    EXPECT_TRUE(bench.boxes.empty());
    bench.model.ClosePort();
}

}  // namespace
