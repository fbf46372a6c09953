// Help through the HTML Help control: the exact file reference and command for the
// contents and each topic, the control's error description in the "Help Error" box, and
// silence when there is no control. A recording stand-in takes the place of the control
// where the call itself is checked; the system's control (Wine's) where it is found and
// asked to open a file that is not there.
#include <windows.h>

#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/message_box.h"
#include "ui/help/help_file.h"
#include "ui/help/html_help_control.h"
#include "ui/help/show_help_topic.h"

namespace {

struct CCall {
    HWND owner;
    std::wstring file;  // "(none)" for a null file
    UINT command;
};

struct CBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};

std::vector<CCall> g_calls;
bool g_failDisplay = false;
const wchar_t* g_errorDescription = nullptr;  // what get-last-error reports; null: no description
HRESULT g_errorResult = E_FAIL;

HWND WINAPI RecordingHelp(HWND owner, const wchar_t* file, UINT command, DWORD_PTR data)
{
    g_calls.push_back({owner, file != nullptr ? file : L"(none)", command});
    static HWND const kViewer = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    switch (command) {
    case kHelpDisplayTopic:
    case kHelpDisplayContents:
        return g_failDisplay ? nullptr : kViewer;
    case kHelpGetLastError: {
        auto* error = reinterpret_cast<CHelpLastError*>(data);
        EXPECT_EQ(static_cast<int>(sizeof(CHelpLastError)), error->size);
        error->result = g_errorResult;
        error->description = g_errorDescription != nullptr ? ::SysAllocString(g_errorDescription) : nullptr;
        return kViewer;
    }
    default:
        return nullptr;
    }
}

const wchar_t kHelpFile[] = L"C:\\Program Files\\Orvandel\\ZR8 Utility\\ZR8Utility.chm";

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        g_failDisplay = false;
        g_errorDescription = nullptr;
        g_errorResult = E_FAIL;
        SetHelpFileForTesting(kHelpFile);
        TheHtmlHelpControl().ReplaceForTesting(&RecordingHelp);
        m_previousBoxes = MessageBoxes::SetHandler([this](HWND owner, const std::wstring& text,
                                                          const std::wstring& caption, UINT type) {
            m_boxes.push_back({owner, text, caption, type});
            return IDOK;
        });
    }
    void TearDown() override
    {
        MessageBoxes::SetHandler(m_previousBoxes);
        TheHtmlHelpControl().ReplaceForTesting(nullptr);
        SetHelpFileForTesting(L"");
    }

    std::vector<CBox> m_boxes;
    MessageBoxes::Handler m_previousBoxes;
};

HWND Owner() { return ::GetDesktopWindow(); }

TEST_F(HelpTest, ContentsAndEveryTopicReachTheControlWithTheExactFileReference)
{
    const std::wstring file = kHelpFile;
    struct Case {
        const wchar_t* topic;
        UINT command;
        std::wstring reference;
    } cases[] = {
        {nullptr, kHelpDisplayContents, file + L">$global_main"},
        {L"", kHelpDisplayContents, file + L">$global_main"},
        {L"Port.htm", kHelpDisplayTopic, file + L"::/Port.htm>$global_main"},
        {L"Firmware.htm", kHelpDisplayTopic, file + L"::/Firmware.htm>$global_main"},
        {L"Configuration.htm", kHelpDisplayTopic, file + L"::/Configuration.htm>$global_main"},
        {L"Configuration.htm#PowerOnBanner", kHelpDisplayTopic,
         file + L"::/Configuration.htm#PowerOnBanner>$global_main"},
        {L"CommandTester.htm", kHelpDisplayTopic, file + L"::/CommandTester.htm>$global_main"},
        {L"CommandTester.htm#MacroEditor", kHelpDisplayTopic, file + L"::/CommandTester.htm#MacroEditor>$global_main"},
    };
    for (const Case& c : cases) {
        g_calls.clear();
        ShowHelpTopic(Owner(), c.topic);
        ASSERT_EQ(1u, g_calls.size()) << (c.topic ? c.topic : L"(null)");
        EXPECT_EQ(Owner(), g_calls[0].owner);
        EXPECT_EQ(c.reference, g_calls[0].file);
        EXPECT_EQ(c.command, g_calls[0].command);
    }
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(HelpTest, AFailedCallShowsTheControlsDescriptionThenClosesItsWindows)
{
    g_failDisplay = true;
    g_errorDescription = L"The specified file could not be found.";
    ShowHelpTopic(Owner(), L"Firmware.htm");

    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ(L"The specified file could not be found.", m_boxes[0].text);
    EXPECT_EQ(L"Help Error", m_boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), m_boxes[0].type);
    EXPECT_EQ(Owner(), m_boxes[0].owner);
    ASSERT_EQ(3u, g_calls.size());
    EXPECT_EQ(kHelpDisplayTopic, g_calls[0].command);
    EXPECT_EQ(kHelpGetLastError, g_calls[1].command);
    EXPECT_EQ(L"(none)", g_calls[1].file);
    EXPECT_EQ(kHelpCloseAll, g_calls[2].command);
    EXPECT_EQ(L"(none)", g_calls[2].file);
}

TEST_F(HelpTest, AFailureWithoutAFailingResultOrDescriptionShowsAnEmptyBox)
{
    g_failDisplay = true;
    struct Case {
        HRESULT result;
        const wchar_t* description;
    } cases[] = {{E_FAIL, nullptr}, {S_OK, L"not a failure"}};
    for (const Case& c : cases) {
        m_boxes.clear();
        g_errorResult = c.result;
        g_errorDescription = c.description;
        ShowHelpTopic(Owner(), nullptr);
        ASSERT_EQ(1u, m_boxes.size());
        EXPECT_EQ(L"", m_boxes[0].text);
        EXPECT_EQ(L"Help Error", m_boxes[0].caption);
    }
}

// A registry key of the test's own in place of the control's registration.
class CTestKey {
public:
    explicit CTestKey(const wchar_t* path) : m_path(path)
    {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
    }
    ~CTestKey()
    {
        ::RegCloseKey(m_key);
        ::RegDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
    }
    void SetDefault(DWORD type, const std::wstring& value)
    {
        ::RegSetValueExW(m_key, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    HKEY m_key = nullptr;
};

const wchar_t kNoControl[] = L"zr8-no-such-help-control.ocx";

TEST_F(HelpTest, WithoutTheControlHelpSaysNothingAndStopsTrying)
{
    CHtmlHelpControl::CLocation nowhere = {HKEY_CURRENT_USER, L"Software\\ZR8 Help Test\\No Such Key", kNoControl};
    TheHtmlHelpControl().ReplaceForTesting(nullptr, nowhere);
    ShowHelpTopic(Owner(), L"Port.htm");
    ShowHelpTopic(Owner(), nullptr);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(1, TheHtmlHelpControl().LoadAttempts());
}

TEST(HtmlHelpControl, TheSystemControlIsFoundThroughItsRegistration)
{
    CHtmlHelpControl control;
    const std::wstring path = control.RegisteredPath();
    EXPECT_NE(std::wstring::npos, path.find(L"hhctrl.ocx")) << "registered as '" << std::string(path.begin(), path.end()) << "'";
    EXPECT_NE(nullptr, control.Entry());
}

TEST(HtmlHelpControl, AnExpandableRegistrationIsExpandedAndABadOneFallsBackToTheName)
{
    {
        CTestKey key(L"Software\\ZR8 Help Test\\Expandable");
        key.SetDefault(REG_EXPAND_SZ, L"%SystemRoot%\\system32\\hhctrl.ocx");
        CHtmlHelpControl control({HKEY_CURRENT_USER, key.Path(), kNoControl});
        wchar_t root[MAX_PATH] = {};
        ::GetEnvironmentVariableW(L"SystemRoot", root, MAX_PATH);
        EXPECT_EQ(std::wstring(root) + L"\\system32\\hhctrl.ocx", control.RegisteredPath());
        EXPECT_NE(nullptr, control.Entry());
    }
    {
        CTestKey key(L"Software\\ZR8 Help Test\\Vanished");
        key.SetDefault(REG_SZ, L"C:\\nowhere\\hhctrl.ocx");
        CHtmlHelpControl control({HKEY_CURRENT_USER, key.Path(), L"hhctrl.ocx"});
        EXPECT_NE(nullptr, control.Entry());
    }
}

TEST_F(HelpTest, TheSystemControlReportsAMissingHelpFileInTheHelpErrorBox)
{
    TheHtmlHelpControl().ReplaceForTesting(nullptr);
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    SetHelpFileForTesting(std::wstring(temp) + L"zr8-no-such-help-file.chm");
    ShowHelpTopic(nullptr, L"Port.htm");
    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ(L"Help Error", m_boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), m_boxes[0].type);
}

TEST(HelpFile, LiesNextToTheProgramWithTheExtensionChm)
{
    wchar_t module[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring expected = module;
    expected = expected.substr(0, expected.rfind(L'.')) + L".chm";
    EXPECT_EQ(expected, HelpFilePath());
}

}  // namespace
