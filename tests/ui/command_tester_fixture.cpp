#include "tests/ui/command_tester_fixture.h"

#include <richedit.h>

#include "core/serial/serial_device.h"
#include "sim/sim_serial_device.h"

namespace {
class CTappedDevice : public ISerialDevice {
public:
    CTappedDevice(std::unique_ptr<ISerialDevice> radio, CDeviceTap& tap) : m_radio(std::move(radio)), m_tap(tap) {}
    ~CTappedDevice() override { m_tap.bytesWaiting = nullptr; }

    void SetBytesWaitingCallback(std::function<void()> callback) override
    {
        m_tap.bytesWaiting = callback;
        m_radio->SetBytesWaitingCallback(std::move(callback));
    }
    DWORD SetBaudRate(DWORD rate) override { return m_radio->SetBaudRate(rate); }
    DWORD Write(const uint8_t* data, size_t length, size_t& written) override
    {
        m_tap.writes.emplace_back(reinterpret_cast<const char*>(data), length);
        return m_radio->Write(data, length, written);
    }
    DWORD Read(uint8_t* buffer, size_t length, size_t& count) override
    {
        count = 0;
        while (count < length && !m_tap.injected.empty()) {
            buffer[count++] = static_cast<uint8_t>(m_tap.injected[0]);
            m_tap.injected.erase(0, 1);
        }
        if (count == length)
            return 0;
        size_t more = 0;
        const DWORD code = m_radio->Read(buffer + count, length - count, more);
        count += more;
        return code;
    }
    DWORD PurgeReceive() override
    {
        m_tap.injected.clear();
        return m_radio->PurgeReceive();
    }
    size_t BytesWaiting() const override { return m_tap.injected.size() + m_radio->BytesWaiting(); }

private:
    std::unique_ptr<ISerialDevice> m_radio;
    CDeviceTap& m_tap;
};
}  // namespace

void CommandTesterTest::SetUp()
{
    FrameTest::SetUp();
    CSimOptions options;
    options.baudModel = BaudModel::Instant;
    m_clock = std::make_unique<CLoopClock>();
    m_radio = std::make_unique<CSimulator>(options, *m_clock);
    CSimulator* radio = m_radio.get();
    CDeviceTap* tap = &m_tap;
    RegisterSerialDevice(L"SIM", [radio, tap]() -> std::unique_ptr<ISerialDevice> {
        return std::make_unique<CTappedDevice>(std::make_unique<CSimSerialDevice>(*radio), *tap);
    });
}

void CommandTesterTest::TearDown()
{
    FrameTest::TearDown();  // closes the port before the radio goes
    m_radio.reset();
}

CCommandTesterPage& CommandTesterTest::StartOnPage(const std::wstring& port)
{
    Store().WriteString(L"", L"Port", port);
    Store().WriteDword(L"", L"ActivePage", kCommandTesterPageIndex);
    Start(true);
    if (port == L"SIM") {
        EXPECT_TRUE(WaitForRadio());
    }
    // Without a port the frame starts on the Port page.
    if (Frame().TabView().GetActiveIndex() != kCommandTesterPageIndex) {
        EXPECT_TRUE(Frame().TabView().SetActivePage(kCommandTesterPageIndex));
    }
    m_page = static_cast<CCommandTesterPage*>(Frame().TabView().Page(kCommandTesterPageIndex));
    EXPECT_NE(nullptr, m_page->m_hWnd) << "the page window";
    m_tap.writes.clear();  // what contact wrote
    return *m_page;
}

void CommandTesterTest::Type(const std::wstring& text)
{
    for (wchar_t c : text)
        ::SendMessageW(Field(), WM_CHAR, c, 1);
}

void CommandTesterTest::PressEnter()
{
    ::SendMessageW(Field(), WM_KEYDOWN, VK_RETURN, 1);
    ::SendMessageW(Field(), WM_CHAR, L'\r', 1);
}

void CommandTesterTest::Click(int control)
{
    ::SendMessageW(Page(), WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(Page(), control)));
}

std::wstring CommandTesterTest::OutputText() const
{
    GETTEXTLENGTHEX lengthQuery = {GTL_DEFAULT, 1200};
    const LRESULT length = ::SendMessageW(Output(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    GETTEXTEX query = {};
    query.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    query.flags = GT_DEFAULT;
    query.codepage = 1200;
    const LRESULT copied =
        ::SendMessageW(Output(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    std::wstring lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            if (i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
            lines.push_back(L'\n');
        } else {
            lines.push_back(text[i]);
        }
    }
    return lines;
}

COLORREF CommandTesterTest::ColourAt(LONG position) const
{
    ::SendMessageW(Output(), EM_SETSEL, position, position + 1);
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    ::SendMessageW(Output(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    ::SendMessageW(Output(), EM_SETSEL, static_cast<WPARAM>(-1), 0);
    if (format.dwEffects & CFE_AUTOCOLOR)
        return ::GetSysColor(COLOR_WINDOWTEXT) | 0x01000000;  // marks "automatic", never a set colour
    return format.crTextColor;
}

bool CommandTesterTest::WaitForOutput(const std::wstring& text)
{
    return PumpUntil([&] { return OutputText() == text; }, 5000);
}
