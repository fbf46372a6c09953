// The contact machine end to end against the scripted radio: what it sends, what it
// learns, and what it leaves in the model for each kind of answer.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/model/contact_state_machine.h"
#include "core/text/error_text.h"
#include "machine_bench.h"

namespace {

class ContactMachineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bench.link->AnswerAlways(";", "?;");
        bench.link->AnswerAlways("RV;", "RV01.23;");
        bench.link->AnswerAlways("SN;", "SN12345;");
    }

    void Identify(const std::string& answer) { bench.link->AnswerAlways("I;", answer); }

    bool Sent(const std::string& command) const { return CountWrites(*bench.link, command) > 0; }

    bool Run()
    {
        contact().StartOpenPort();
        return bench.RunUntilIdle(contact());
    }

    CContactStateMachine& contact() { return bench.model.ContactMachine(); }

    CMachineBench bench;
};

TEST_F(ContactMachineTest, ApplicationFirmwareIsIdentifiedAndRead)
{
    Identify("ZR8;");
    ASSERT_TRUE(Run());

    EXPECT_EQ(contact().Result(), 0u);
    EXPECT_EQ(bench.link->writes, (std::vector<std::string>{";", "I;", "TT0;", "RV;", "SN;"}));
    EXPECT_EQ(bench.model.m_device.Get(), DeviceZR8);
    EXPECT_EQ(bench.model.m_firmwareStatus.Get(), FirmwareStatusApplication);
    EXPECT_EQ(bench.model.m_mcuVersion.Get(), 123);
    EXPECT_EQ(bench.model.m_serialNumber.Get(), 12345);
    EXPECT_EQ(bench.model.m_portOpenStatus.Get(), 0);
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0});

    const std::vector<std::wstring> expectedStatus = {
        L"Opening serial port SCRIPTED",
        L"Serial port SCRIPTED is open",
        L"Attempting to contact ZR8 on SCRIPTED at 9600 bit/s",
        L"Connected to ZR8 on SCRIPTED at 9600 bit/s",
    };
    EXPECT_EQ(bench.statusTexts, expectedStatus);
    EXPECT_TRUE(bench.boxes.empty());
}

TEST_F(ContactMachineTest, BootLoaderAnswerEndsContactWithStatusOne)
{
    Identify("zr8;");
    ASSERT_TRUE(Run());

    EXPECT_EQ(contact().Result(), 0u);
    EXPECT_EQ(bench.model.m_device.Get(), DeviceZR8);
    EXPECT_EQ(bench.model.m_firmwareStatus.Get(), FirmwareStatusBootLoader);
    EXPECT_FALSE(Sent("TT0;"));
    EXPECT_FALSE(Sent("RV;"));
    EXPECT_FALSE(Sent("SN;"));
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0});
}

TEST_F(ContactMachineTest, ForeignDeviceEndsWithUnexpectedDeviceBox)
{
    Identify("MVD300;");
    ASSERT_TRUE(Run());

    EXPECT_EQ(contact().Result(), 0xE200004Eu);
    EXPECT_EQ(bench.model.m_device.Get(), DeviceNone);
    EXPECT_FALSE(Sent("RV;"));
    ASSERT_EQ(bench.boxes.size(), 1u);
    EXPECT_EQ(bench.boxes[0].caption, L"Unexpected Device");
    EXPECT_EQ(bench.boxes[0].text, L"Connected device does not appear to be an Orvandel ZR8");
    EXPECT_NE(bench.boxes[0].type & MB_ICONERROR, 0u);
    EXPECT_TRUE(bench.HasStatus(L"Contact failed 0xe200004e Unexpected device (e.g. T6 vs TV4)\n"));
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0xE200004E});
}

TEST_F(ContactMachineTest, NoAnswerToIdentifyGoesOnWithNoDevice)
{
    bench.model.m_device.Set(DeviceTV9);  // left from an earlier radio
    ASSERT_TRUE(Run());

    EXPECT_EQ(contact().Result(), 0u);
    EXPECT_EQ(bench.model.m_device.Get(), DeviceNone);
    EXPECT_EQ(bench.link->writes, (std::vector<std::string>{";", "I;", "TT0;", "RV;", "SN;"}));
    EXPECT_EQ(bench.model.m_firmwareStatus.Get(), FirmwareStatusApplication);
}

TEST_F(ContactMachineTest, VersionWithOneDigitBeforeThePointIsRejected)
{
    Identify("ZR8;");
    unsigned versionAsks = 0;
    auto previous = bench.link->onWrite;
    bench.link->onWrite = [&, previous](const std::string& written) {
        if (written == "RV;")
            bench.link->DeliverAfter(5, ++versionAsks == 1 ? "RV1.23;" : "RV01.23;");
        else
            previous(written);
    };
    ASSERT_TRUE(Run());

    EXPECT_EQ(versionAsks, 2u);  // the first answer was not taken; the resend's was
    EXPECT_EQ(bench.model.m_mcuVersion.Get(), 123);
    EXPECT_EQ(contact().Result(), 0u);
}

TEST_F(ContactMachineTest, SilentVersionIsAskedEightTimesThenContactFails)
{
    Identify("ZR8;");
    std::vector<DWORD> versionAsks;
    auto previous = bench.link->onWrite;
    bench.link->onWrite = [&, previous](const std::string& written) {
        if (written == "RV;")
            versionAsks.push_back(GetTickCount());  // never answered
        else
            previous(written);
    };
    ASSERT_TRUE(Run());

    EXPECT_EQ(contact().Result(), 0xE200000Du);
    ASSERT_EQ(versionAsks.size(), 8u);
#ifndef _WIN32
    // Natively the loop runs on the virtual clock, so the time-outs can be counted exactly.
    for (size_t i = 1; i < versionAsks.size(); ++i)
        EXPECT_EQ(versionAsks[i] - versionAsks[i - 1], 500u) << i;
#endif
    EXPECT_FALSE(Sent("SN;"));
    EXPECT_EQ(bench.model.m_firmwareStatus.Get(), FirmwareStatusNone);
    EXPECT_TRUE(bench.HasStatus(L"Contact failed 0xe200000d No response to firmware version\n"));
    EXPECT_TRUE(bench.boxes.empty());
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0xE200000D});
}

TEST_F(ContactMachineTest, SerialNumberAbove65535IsRejectedAndContactFails)
{
    Identify("ZR8;");
    bench.link->AnswerAlways("SN;", "SN70000;");
    ASSERT_TRUE(Run());

    EXPECT_EQ(contact().Result(), 0xE200050Au);
    EXPECT_EQ(CountWrites(*bench.link, "SN;"), 1u);
    EXPECT_EQ(bench.model.m_serialNumber.Get(), 0xFFFF);
    EXPECT_EQ(bench.model.m_firmwareStatus.Get(), FirmwareStatusNone);
    EXPECT_TRUE(bench.HasStatus(L"Contact failed 0xe200050a No response to Serial Number (SN)\n"));
    EXPECT_TRUE(bench.boxes.empty());
}

TEST_F(ContactMachineTest, StartAtOpenPortWithThePortOpenGoesStraightToPolling)
{
    ASSERT_TRUE(bench.OpenPort());
    bench.statusTexts.clear();
    contact().StartOpenPort();

    EXPECT_EQ(contact().CurrentState(), &contact().FindSpeedLoopState());
    EXPECT_EQ(bench.link->writes, std::vector<std::string>{";"});
    EXPECT_EQ(bench.statusTexts, std::vector<std::wstring>{L"Attempting to contact ZR8 on SCRIPTED at 9600 bit/s"});
}

TEST_F(ContactMachineTest, NoPortChosenEndsAtOnce)
{
    bench.model.m_port.Set(L"");
    contact().StartOpenPort();
    EXPECT_TRUE(contact().IsIdle());
    EXPECT_EQ(contact().Result(), 0xE200000Fu);
    EXPECT_TRUE(bench.HasStatus(L"Contact failed 0xe200000f Serial port name is missing\n"));
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0xE200000F});
}

#ifdef _WIN32
constexpr const wchar_t* kMissingPort = L"COM219";
#else
constexpr const wchar_t* kMissingPort = L"/nonexistent/zr8-port";
#endif

TEST_F(ContactMachineTest, PortThatCannotBeOpenedIsAnnouncedWithItsError)
{
    bench.model.m_port.Set(kMissingPort);
    contact().StartOpenPort();
    EXPECT_TRUE(contact().IsIdle());
    EXPECT_EQ(contact().Result(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(bench.model.m_portOpenStatus.Get(), -1);
    EXPECT_EQ(bench.model.m_firmwareStatus.Get(), FirmwareStatusNone);
    EXPECT_TRUE(bench.HasStatus(L"Unable to open serial port \"" + std::wstring(kMissingPort) +
                                L"\". Error 0x00000002: " + GetErrorText(ERROR_FILE_NOT_FOUND)));
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{ERROR_FILE_NOT_FOUND});
}

TEST_F(ContactMachineTest, SearchFromFindSpeedFailsWhenTheRadioStaysSilent)
{
    ASSERT_TRUE(bench.OpenPort());
    bench.link->onWrite = nullptr;
    bench.model.m_firmwareStatus.Set(FirmwareStatusApplication);
    contact().StartFindSpeed();
    ASSERT_TRUE(bench.RunUntilIdle(contact()));

    EXPECT_EQ(contact().Result(), 0xE2000045u);
    EXPECT_EQ(CountWrites(*bench.link, ";"), 5u);
    EXPECT_EQ(bench.model.m_firmwareStatus.Get(), FirmwareStatusNone);
}

TEST_F(ContactMachineTest, RestartWhileWaitingLeavesNoTimerRunning)
{
    ASSERT_TRUE(bench.OpenPort());
    bench.link->onWrite = nullptr;
    contact().StartOpenPort();
    bench.RunFor(50);  // between two polls
    bench.model.ClosePort();
    bench.model.m_port.Set(L"");
    contact().StartOpenPort();
    ASSERT_TRUE(contact().IsIdle());

    bench.RunFor(1000);
    EXPECT_TRUE(bench.foreignTimers.empty());
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0xE200000F});
}

TEST_F(ContactMachineTest, FailedWriteLeavesNoStaleFirmwareStatus)
{
    // After an operation the status was known; the port then stops taking writes.
    ASSERT_TRUE(bench.OpenPort());
    bench.model.m_firmwareStatus.Set(FirmwareStatusApplication);
    bench.link->writeError = ERROR_GEN_FAILURE;
    contact().StartFindSpeed();
    EXPECT_TRUE(contact().IsIdle());
    EXPECT_EQ(contact().Result(), static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_EQ(bench.model.m_firmwareStatus.Get(), FirmwareStatusNone);
}

}  // namespace
