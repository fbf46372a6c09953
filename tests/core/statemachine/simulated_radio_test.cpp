// The contact machine and the EEPROM block states against the simulated radio, over
// CSerialPort at the line speed of 9600 bit/s, on the virtual clock.
#include <gtest/gtest.h>

#include <numeric>

#include "core/model/contact_state_machine.h"
#include "core/statemachine/eeprom_block_states.h"
#include "machine_bench.h"
#include "sim/loop_clock.h"
#include "sim/sim_serial_device.h"
#include "sim/simulator.h"
#include "test_machine.h"

namespace {

constexpr const wchar_t* kSimPort = L"SIMRADIO";

class SimulatedRadioTest : public ::testing::Test {
protected:
    void Begin(const CSimOptions& options)
    {
        simulator = std::make_unique<CSimulator>(options, clock);
        RegisterSimulatedRadio(kSimPort, *simulator);
        bench.model.m_port.Set(kSimPort);
    }
    void TearDown() override
    {
        bench.model.ClosePort();
        UnregisterSerialDevice(kSimPort);
    }
    bool Contact()
    {
        bench.model.ContactMachine().StartOpenPort();
        return bench.RunUntilIdle(bench.model.ContactMachine());
    }

    CMachineBench bench;
    CLoopClock clock;
    std::unique_ptr<CSimulator> simulator;
};

TEST_F(SimulatedRadioTest, ContactReadsVersionAndSerialNumberOfApplicationFirmware)
{
    CSimOptions options;
    options.version = 124;
    options.serialNumber = 4711;
    Begin(options);
    ASSERT_TRUE(Contact());

    EXPECT_EQ(bench.model.ContactMachine().Result(), 0u);
    EXPECT_EQ(bench.model.m_device.Get(), DeviceZR8);
    EXPECT_EQ(bench.model.m_firmwareStatus.Get(), FirmwareStatusApplication);
    EXPECT_EQ(bench.model.m_mcuVersion.Get(), 124);
    EXPECT_EQ(bench.model.m_serialNumber.Get(), 4711);
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0});
}

TEST_F(SimulatedRadioTest, ContactWithTheBootLoaderEndsAtIdentification)
{
    struct Case {
        bool echoOnly;
        OrvandelDevice device;
    };
    for (const Case c : {Case{false, DeviceZR8}, Case{true, DeviceNone}}) {
        SCOPED_TRACE(c.echoOnly ? "echo only" : "answers zr8;");
        CSimOptions options;
        options.startInBootLoader = true;
        options.bootLoaderEchoOnly = c.echoOnly;
        Begin(options);
        ASSERT_TRUE(Contact());
        EXPECT_EQ(bench.model.ContactMachine().Result(), 0u);
        EXPECT_EQ(bench.model.m_device.Get(), c.device);
        EXPECT_EQ(bench.model.m_firmwareStatus.Get(), FirmwareStatusBootLoader);
        EXPECT_EQ(bench.model.m_mcuVersion.Get(), 0);
        bench.model.ClosePort();
        UnregisterSerialDevice(kSimPort);
    }
}

// The radio's second reply is its answer to "I;": lost, the contact goes on without a
// device and still reads version and serial number.
TEST_F(SimulatedRadioTest, LostIdentificationAnswerGoesOnWithNoDevice)
{
    CSimOptions options;
    std::string error;
    ASSERT_TRUE(options.faults.Add("drop-reply=2", error)) << error;
    Begin(options);
    bench.model.m_device.Set(DeviceTV9);  // left from an earlier radio
    ASSERT_TRUE(Contact());

    EXPECT_EQ(bench.model.ContactMachine().Result(), 0u);
    EXPECT_EQ(bench.model.m_device.Get(), DeviceNone);
    EXPECT_EQ(bench.model.m_firmwareStatus.Get(), FirmwareStatusApplication);
    EXPECT_EQ(bench.model.m_mcuVersion.Get(), 123);
    EXPECT_EQ(bench.model.m_serialNumber.Get(), 12345);
}

TEST_F(SimulatedRadioTest, ConfigurationAreaWrittenAndReadBackInBlocks)
{
    Begin(CSimOptions());
    ASSERT_TRUE(Contact());
    CTestMachine machine(bench.model);
    bench.model.AttachOperation(&machine);
    machine.SetRetryLimit(3);

    std::vector<BYTE> written(0x100);
    std::iota(written.begin(), written.end(), BYTE{0x21});
    CWritePicPromState<CTestMachine> write(&machine, L"WriteBlocks", machine.FinalState(), 2000);
    write.SetRange(0x0200, 0x100, written.data());
    ASSERT_TRUE(machine.Start(&write));
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    ASSERT_EQ(machine.Result(), 0u);

    std::vector<BYTE> read(0x100);
    CReadPicPromState<CTestMachine> readBack(&machine, L"ReadBlocks", machine.FinalState(), 2000);
    readBack.SetRange(0x0200, 0x100, read.data());
    ASSERT_TRUE(machine.Start(&readBack));
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(machine.Result(), 0u);
    EXPECT_EQ(read, written);
}

}  // namespace
