#include "log_test_host.h"

#include <vector>

namespace {

const wchar_t kHostClass[] = L"ZR8LogTestHost";

ATOM RegisterHostClass()
{
    static ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kHostClass;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        return RegisterClassW(&wc);
    }();
    return atom;
}

}  // namespace

CLogTestHost::CLogTestHost(int width, int height, DWORD style)
{
    m_richEdit = LoadLibraryW(L"RICHED20.DLL");
    RegisterHostClass();
    m_frame = CreateWindowExW(0, kHostClass, L"ZR8 log test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                              width + 40, height + 60, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (m_frame == nullptr)
        return;
    RECT rect{0, 0, width, height};
    m_output.Create(m_frame, rect, 100, style);
    Pump();
}

CLogTestHost::~CLogTestHost()
{
    if (m_frame != nullptr)
        DestroyWindow(m_frame);
    Pump();
    if (m_richEdit != nullptr)
        FreeLibrary(m_richEdit);
}

std::wstring CLogTestHost::Text() const
{
    HWND output = m_output.Window();
    GETTEXTLENGTHEX query{GTL_USECRLF | GTL_NUMCHARS | GTL_PRECISE, 1200};
    LRESULT length = SendMessageW(output, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX get{};
    get.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    get.flags = GT_USECRLF;
    get.codepage = 1200;
    SendMessageW(output, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(buffer.data()));
    return std::wstring(buffer.data());
}

void CLogTestHost::Pump()
{
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    }
}

int CLogTestHost::FirstVisibleLine() const
{
    return static_cast<int>(SendMessageW(m_output.Window(), EM_GETFIRSTVISIBLELINE, 0, 0));
}

int CLogTestHost::LineCount() const
{
    return static_cast<int>(SendMessageW(m_output.Window(), EM_GETLINECOUNT, 0, 0));
}

bool CLogTestHost::LastLineVisible() const
{
    HWND output = m_output.Window();
    RECT client{};
    SendMessageW(output, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&client));
    LRESULT lastStart = SendMessageW(output, EM_LINEINDEX, static_cast<WPARAM>(LineCount() - 1), 0);
    POINTL at{};
    SendMessageW(output, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), lastStart);
    return at.y >= client.top && at.y < client.bottom;
}
