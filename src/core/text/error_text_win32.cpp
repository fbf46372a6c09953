// Error texts from the system's message tables, in the documented order: wininet.dll for
// the Internet codes, the program's own MESSAGETABLE for facility 0x200, the system for
// everything else.
#include "core/text/error_text.h"

#include "core/text/error_codes.h"
#include "platform/wide_format.h"

namespace {

constexpr DWORD kInternetExtendedError = 12003;

std::wstring FormatFromTable(DWORD code)
{
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS;
    HMODULE module = nullptr;
    if (IsInternetCode(code)) {
        // Only a loaded wininet.dll can have produced the code; when it is not loaded the
        // lookup finds nothing and the text is empty.
        module = GetModuleHandleW(L"wininet.dll");
        if (module == nullptr)
            return std::wstring();
        flags |= FORMAT_MESSAGE_FROM_HMODULE;
    } else if (IsOwnCode(code)) {
        module = GetModuleHandleW(nullptr);
        flags |= FORMAT_MESSAGE_FROM_HMODULE;
    } else {
        flags |= FORMAT_MESSAGE_FROM_SYSTEM;
    }

    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(flags, module, code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer != nullptr)
        text.assign(buffer, length);
    if (buffer != nullptr)
        LocalFree(buffer);
    return text;
}

// The FTP server's last reply, which explains 12003. Taken from the loaded wininet.dll so
// that only the programs that use the Internet functions carry them.
std::wstring LastResponseLine()
{
    using ResponseInfoFn = BOOL(WINAPI*)(DWORD*, LPWSTR, DWORD*);
    HMODULE wininet = GetModuleHandleW(L"wininet.dll");
    auto getResponse = wininet ? reinterpret_cast<ResponseInfoFn>(
                                     reinterpret_cast<void*>(GetProcAddress(wininet, "InternetGetLastResponseInfoW")))
                               : nullptr;
    DWORD serverError = 0;
    std::wstring response;
    if (getResponse != nullptr) {
        DWORD length = 256;
        std::wstring buffer(length, L'\0');
        BOOL ok = getResponse(&serverError, &buffer[0], &length);
        if (!ok && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            buffer.assign(length + 1, L'\0');
            length = static_cast<DWORD>(buffer.size());
            ok = getResponse(&serverError, &buffer[0], &length);
        }
        if (ok)
            response = buffer.c_str();
    }
    return FormatW(L"\r\nInternetGetLastResponseInfo returns 0x%08X %s", serverError, response.c_str());
}

}  // namespace

std::wstring GetErrorText(DWORD code)
{
    DWORD savedError = GetLastError();
    std::wstring text = FormatFromTable(code);
    StripTrailingLineBreaks(text);
    if (code == kInternetExtendedError)
        text += LastResponseLine();
    SetLastError(savedError);
    return text;
}
