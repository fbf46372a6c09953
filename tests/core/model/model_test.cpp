#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "core/model/contact_state_machine.h"
#include "core/model/event_subscriber.h"
#include "core/model/model_base.h"
#include "core/statemachine/state_machine.h"
#include "core/text/app_messages.h"
#include "core/text/error_codes.h"
#include "model_test_support.h"
#include "platform/code_pages.h"
#include "platform/folders.h"
#include "platform/message_box.h"
#include "tests/case_name.h"

namespace {

namespace fs = std::filesystem;

const wchar_t kPortName[] = L"MODELTEST";

// Off Windows the application-data folder follows XDG_DATA_HOME and the settings file
// XDG_CONFIG_HOME, so each test gets fresh ones; under Wine they are the test prefix's
// own AppData folder and registry.
class ScopedUserFolders {
public:
    ScopedUserFolders()
    {
#ifndef _WIN32
        std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(test.begin(), test.end(), '/', '_');  // parameterised names carry a '/'
        m_dir = fs::temp_directory_path() / ("zr8-model-" + std::to_string(std::random_device()()) + "-" + test);
        fs::remove_all(m_dir);
        Redirect("XDG_DATA_HOME", m_dir / "data", m_oldData);
        Redirect("XDG_CONFIG_HOME", m_dir / "config", m_oldConfig);
#endif
    }
    ~ScopedUserFolders()
    {
#ifndef _WIN32
        Restore("XDG_DATA_HOME", m_oldData);
        Restore("XDG_CONFIG_HOME", m_oldConfig);
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
#endif
    }

private:
#ifndef _WIN32
    struct Old {
        bool had = false;
        std::string value;
    };
    static void Redirect(const char* name, const fs::path& dir, Old& old)
    {
        const char* value = std::getenv(name);
        old.had = value != nullptr;
        if (old.had)
            old.value = value;
        fs::create_directories(dir);
        setenv(name, dir.string().c_str(), 1);
    }
    static void Restore(const char* name, const Old& old)
    {
        if (old.had)
            setenv(name, old.value.c_str(), 1);
        else
            unsetenv(name);
    }
    fs::path m_dir;
    Old m_oldData, m_oldConfig;
#endif
};


// A machine a page would attach: busy or idle as the test says, counting what reaches it.
class CFakeOperation : public IStateMachine {
public:
    bool IsIdle() override { return !busy; }
    LRESULT OnPortEvent(UINT, WPARAM, LPARAM, BOOL& handled) override
    {
        ++portEvents;
        handled = TRUE;
        return 0;
    }
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL& handled) override
    {
        ++timerTicks;
        handled = TRUE;
        return 0;
    }
    bool busy = false;
    int portEvents = 0;
    int timerTicks = 0;
};

class ModelTest : public ::testing::Test {
protected:
    ModelTest() : model(MakeStore())
    {
        m_previousBoxHandler = MessageBoxes::SetHandler([this](HWND, const std::wstring& text, const std::wstring&, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
        model.SetWindow(frame.Handle());
    }
    ~ModelTest() override
    {
        subscriber.UnsubscribeAll();
        model.ClosePort();
        MessageBoxes::SetHandler(m_previousBoxHandler);
    }

    std::unique_ptr<ISettingsStore> MakeStore()
    {
        auto owned = std::make_unique<CFailingSettingsStore>();
        store = owned.get();
        return owned;
    }

    void Observe(CEventSource& source) { subscriber.Subscribe(observer.Handle(), source); }
    void OpenFakePort() { ASSERT_EQ(model.OpenSerialPort(kPortName), 0u); }

    ScopedUserFolders userFolders;
    CFakeDeviceRegistration device{kPortName};
    CFailingSettingsStore* store = nullptr;
    CRecordingWindow frame;
    CModel model;
    CRecordingWindow observer;
    CEventSubscriber subscriber;
    std::vector<std::wstring> boxes;

private:
    MessageBoxes::Handler m_previousBoxHandler;
};

TEST_F(ModelTest, FirstStartCreatesBothFirmwareFoldersAndWritesDefaultsOnce)
{
    Observe(model.m_firmwareFolder);
    model.LoadSettings();

    const std::wstring maker = Folders::Join(Folders::AppData(), L"Orvandel");
    const std::wstring firmware = Folders::Join(maker, L"ZR8 Firmware");
    EXPECT_EQ(model.m_firmwareFolder.Get(), firmware);
    EXPECT_TRUE(Folders::FolderExists(maker));
    EXPECT_TRUE(Folders::FolderExists(firmware));
    EXPECT_EQ(observer.Count(WM_APP_FIRMWARE_FOLDER), 1u);

    EXPECT_TRUE(model.SaveSettings());
    EXPECT_EQ(store->written, (std::vector<std::wstring>{L"FirmwareFolder", L"FirmwareLoadRetryLimit"}));
    DWORD retryLimit = 0;
    EXPECT_EQ(store->ReadDword(L"", L"FirmwareLoadRetryLimit", retryLimit), 0u);
    EXPECT_EQ(retryLimit, 10u);

    const unsigned writes = store->WriteCount();
    model.SaveSettings();
    EXPECT_EQ(store->WriteCount(), writes);
}

TEST_F(ModelTest, StoredSettingsAreUsedAndNotWrittenBack)
{
    ASSERT_EQ(store->WriteString(L"", L"FirmwareFolder", L"/srv/zr8 firmware"), 0u);
    ASSERT_EQ(store->WriteString(L"", L"Port", L"COM4"), 0u);
    ASSERT_EQ(store->WriteDword(L"", L"Trace", 1), 0u);
    ASSERT_EQ(store->WriteDword(L"", L"FirmwareLoadRetryLimit", 25), 0u);
    const unsigned writes = store->WriteCount();
    Observe(model.m_port);
    Observe(model.m_firmwareFolder);

    model.LoadSettings();
    EXPECT_EQ(model.m_firmwareFolder.Get(), L"/srv/zr8 firmware");
    EXPECT_EQ(model.m_port.Get(), L"COM4");
    EXPECT_EQ(model.m_trace.Get(), 1);
    EXPECT_EQ(model.m_firmwareLoadRetryLimit.Get(), 25u);
    EXPECT_TRUE(observer.Messages().empty());  // loading tells nobody

    model.SaveSettings();
    EXPECT_EQ(store->WriteCount(), writes);
}

TEST_F(ModelTest, SaveWalksTheSevenValuesInOrderAndGoesOnPastFailures)
{
    model.m_verboseLogging.Set(1);
    model.m_trace.Set(1);
    model.m_port.Set(L"COM9");
    model.m_firmwareLoadRetryLimit.Set(3);
    model.m_firmwareFolder.Set(L"fw");
    model.m_advancedMode.Set(1);
    model.m_activePage.Set(2);

    store->failAfterWrites = 2;
    store->failCode = ERROR_ACCESS_DENIED;
    EXPECT_TRUE(model.SaveSettings());  // failures are silent
    EXPECT_EQ(store->written, (std::vector<std::wstring>{L"ActivePage", L"AdvancedMode"}));

    store->failCode = 0;
    model.SaveSettings();
    EXPECT_EQ(store->written,
              (std::vector<std::wstring>{L"ActivePage", L"AdvancedMode", L"FirmwareFolder", L"FirmwareLoadRetryLimit",
                                         L"Port", L"Trace", L"VerboseLogging"}));
}

// The store the programs use (the registry under Wine, the .reg file elsewhere): what one
// run saves, the next run loads, with the same value names and types.
TEST_F(ModelTest, SettingsSurviveARestartInThePlatformStore)
{
    const wchar_t* names[] = {L"ActivePage", L"AdvancedMode", L"FirmwareFolder", L"FirmwareLoadRetryLimit",
                              L"Port", L"Trace", L"VerboseLogging"};
    auto forget = [&names] {
        auto cleaner = OpenPlatformSettingsStore();
        ASSERT_TRUE(cleaner);
        for (const wchar_t* name : names)
            cleaner->DeleteValue(L"", name);
    };
    forget();  // a Wine prefix keeps its registry from run to run
    {
        CModel first(nullptr);
        first.LoadSettings();
        first.m_port.Set(L"COM5");
        first.m_activePage.Set(3);
        first.SaveSettings();
    }
    {
        auto raw = OpenPlatformSettingsStore();
        DWORD type = 0;
        std::vector<uint8_t> data;
        ASSERT_EQ(raw->ReadValue(L"", L"FirmwareLoadRetryLimit", type, data), 0u);
        EXPECT_EQ(type, kRegDword);
        EXPECT_EQ(data, (std::vector<uint8_t>{10, 0, 0, 0}));
        ASSERT_EQ(raw->ReadValue(L"", L"Port", type, data), 0u);
        EXPECT_EQ(type, kRegSz);
    }
    {
        CModel second(nullptr);
        second.LoadSettings();
        EXPECT_EQ(second.m_port.Get(), L"COM5");
        EXPECT_EQ(second.m_activePage.Get(), 3);
        EXPECT_EQ(second.m_firmwareLoadRetryLimit.Get(), 10u);
        EXPECT_FALSE(second.m_firmwareFolder.Get().empty());
    }
    forget();
}

struct VersionCase {
    unsigned short version;
    const wchar_t* text;
};

class FirmwareVersionTextTest : public ModelTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(FirmwareVersionTextTest, ShowsVersionOrItsMeaning)
{
    model.m_mcuVersion.Set(GetParam().version);
    EXPECT_EQ(model.FirmwareVersionText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Versions, FirmwareVersionTextTest,
                         ::testing::Values(VersionCase{5, L"00.05"}, VersionCase{0, L"??.??"},
                                           VersionCase{1234, L"12.34"}, VersionCase{9999, L" N/A "},
                                           VersionCase{65534, L"Loading"}, VersionCase{65535, L"655.35"},
                                           VersionCase{100, L"01.00"}),
                         [](const auto& info) { return "Version" + std::to_string(info.param.version); });

TEST_F(ModelTest, StatusTextsNameTheRadioPortAndRate)
{
    OpenFakePort();
    model.m_mcuVersion.Set(123);
    EXPECT_EQ(model.McuVersionStatusText(), L"ZR8 MCU version 01.23 on MODELTEST at 9600 bit/s");
    EXPECT_EQ(model.WaitingText(), L"ZR8 waiting for firmware load on MODELTEST at 9600 bit/s");
}

TEST_F(ModelTest, ClosePortForgetsTheRadioAndTellsItsObservers)
{
    OpenFakePort();
    model.m_mcuVersion.Set(123);
    model.m_serialNumber.Set(4711);
    model.m_firmwareStatus.Set(FirmwareStatusApplication);
    for (CEventSource* source : std::initializer_list<CEventSource*>{
             &model.m_serialNumber, &model.m_firmwareStatus, &model.m_mcuVersion, &model.m_portOpenStatus})
        Observe(*source);

    model.ClosePort();

    EXPECT_FALSE(model.SerialPort().IsOpen());
    EXPECT_FALSE(model.IsPortOpen());
    EXPECT_EQ(model.m_serialNumber.Get(), kSerialNumberNone);
    EXPECT_EQ(model.m_firmwareStatus.Get(), FirmwareStatusNone);
    EXPECT_EQ(model.m_mcuVersion.Get(), 0);
    EXPECT_EQ(observer.Count(WM_APP_SERIAL_NUMBER), 1u);
    EXPECT_EQ(observer.Count(WM_APP_FIRMWARE_STATUS), 1u);
    EXPECT_EQ(observer.Count(WM_APP_MCU_VERSION), 1u);
    EXPECT_EQ(observer.Count(WM_APP_PORT_OPEN_STATUS), 1u);
}

TEST_F(ModelTest, OpenSerialPortSetsTheOpenStatus)
{
    Observe(model.m_portOpenStatus);
    EXPECT_EQ(model.OpenSerialPort(L""), Zr8Error::PortNameMissing);
    EXPECT_EQ(GetLastError(), Zr8Error::PortNameMissing);
    EXPECT_EQ(model.m_portOpenStatus.Get(), -1);
    EXPECT_EQ(observer.Count(WM_APP_PORT_OPEN_STATUS), 0u);  // it was -1 already

    OpenFakePort();
    EXPECT_TRUE(model.IsPortOpen());
    EXPECT_EQ(model.SerialPort().NotifyWindow(), frame.Handle());
    EXPECT_EQ(observer.Count(WM_APP_PORT_OPEN_STATUS), 1u);

    EXPECT_TRUE(model.WriteText(L"I;"));
    EXPECT_EQ(device.log->written, "I;");
}

struct DeviceCase {
    OrvandelDevice device;
    bool expected;
};

class ExpectedDeviceTest : public ModelTest, public ::testing::WithParamInterface<DeviceCase> {};

// DeviceNone counts as expected: an identification answer that matched no entry must
// not stop the contact sequence.
TEST_P(ExpectedDeviceTest, OnlyTheZr8OrNothingIsExpected)
{
    model.m_device.Set(GetParam().device);
    EXPECT_EQ(model.IsExpectedDevice(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Devices, ExpectedDeviceTest,
                         ::testing::Values(DeviceCase{DeviceNone, true}, DeviceCase{DeviceZR8, true},
                                           DeviceCase{DeviceT6, false}, DeviceCase{DeviceMVD300, false},
                                           DeviceCase{DeviceMVD1300, false}),
                         [](const auto& info) { return "DeviceId" + std::to_string(static_cast<int>(info.param.device)); });

TEST_F(ModelTest, SetBaudRateNeedsAnOpenPortAndAnAcceptedRate)
{
    EXPECT_FALSE(model.SetBaudRate(19200));

    OpenFakePort();
    const size_t ratesAtOpen = device.log->rates.size();
    const int purgesAtOpen = device.log->purges;
    EXPECT_TRUE(model.SetBaudRate(9600));    // the current rate: nothing to do
    EXPECT_FALSE(model.SetBaudRate(1200));   // not a rate the radio speaks
    EXPECT_EQ(device.log->rates.size(), ratesAtOpen);

    EXPECT_TRUE(model.SetBaudRate(19200));
    EXPECT_EQ(model.SerialPort().BaudRate(), 19200u);
    EXPECT_EQ(device.log->rates.back(), 19200u);
    EXPECT_EQ(device.log->purges, purgesAtOpen + 1);  // stale bytes of the old rate go
}

TEST_F(ModelTest, SetBaudRateFailureKeepsTheRate)
{
    OpenFakePort();
    device.log->failRate = 38400;
    EXPECT_FALSE(model.SetBaudRate(38400));
    EXPECT_EQ(model.SerialPort().BaudRate(), 9600u);
    EXPECT_EQ(boxes.size(), 1u);  // the port reports "SetCommState"
}

// The speed value always announces, so a refused rate makes the observers show the
// rate that stayed.
TEST_F(ModelTest, SpeedValueAnnouncesEveryTime)
{
    Observe(model.m_speed);
    model.m_speed.Set(19200);  // port closed: nothing changes
    OpenFakePort();
    model.m_speed.Set(1200);
    EXPECT_EQ(model.m_speed.Get(), 9600u);
    model.m_speed.Set(57600);
    EXPECT_EQ(model.m_speed.Get(), 57600u);
    model.m_speed.Set(57600);
    EXPECT_EQ(observer.Count(WM_APP_SPEED), 4u);
}

TEST_F(ModelTest, RoutingGoesToTheBusyAttachedOperation)
{
    CFakeOperation operation;
    ASSERT_TRUE(model.ContactMachine().IsIdle());
    EXPECT_TRUE(model.IsAllIdle());
    EXPECT_FALSE(model.RoutePortEvent(WM_APP_PORT_EVENT, kEventRxChar, 0));

    model.AttachOperation(&operation);
    EXPECT_TRUE(model.IsAllIdle());
    EXPECT_FALSE(model.RouteTimer(WM_TIMER, 10, 0));  // idle: the page gets it

    operation.busy = true;
    EXPECT_FALSE(model.IsAllIdle());
    EXPECT_TRUE(model.RoutePortEvent(WM_APP_PORT_EVENT, kEventRxChar, 0));
    EXPECT_TRUE(model.RouteTimer(WM_TIMER, 10, 0));
    EXPECT_EQ(operation.portEvents, 1);
    EXPECT_EQ(operation.timerTicks, 1);

    model.DetachOperation();
    EXPECT_TRUE(model.IsAllIdle());
    EXPECT_FALSE(model.RoutePortEvent(WM_APP_PORT_EVENT, kEventRxChar, 0));
}

}  // namespace
