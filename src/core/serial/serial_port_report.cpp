#include "core/serial/serial_port_report.h"

#include "core/text/error_text.h"
#include "core/text/report.h"
#include "core/text/string_ids.h"

void ShowPortError(HWND window, const wchar_t* callName, const std::wstring& portName, DWORD code)
{
    const std::wstring text = GetErrorText(code);
    ShowError(window, IDS_CAPTION_COM_PORT_ERROR, IDS_FAILED_ON, callName, portName.c_str(), code, text.c_str());
}

void LogLineErrors(HWND window, DWORD errors)
{
    LogLine(window, L"ClearCommError dwErrors 0x%04X", errors);
}

void LogPortFailure(HWND window, const wchar_t* callName, const std::wstring& portName, DWORD code)
{
    const std::wstring text = GetErrorText(code);
    LogLine(window, IDS_FAILED_ON, callName, portName.c_str(), code, text.c_str());
}
