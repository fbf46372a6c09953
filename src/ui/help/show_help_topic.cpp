#include "ui/help/show_help_topic.h"

#include <oleauto.h>

#include "core/text/string_table.h"
#include "platform/message_box.h"
#include "ui/help/help_file.h"
#include "ui/help/html_help_control.h"

namespace {
// The control's own description of its last failure; empty when it has none to give.
std::wstring LastHelpError(HWND owner, HtmlHelpEntry entry)
{
    CHelpLastError error = {};
    error.size = sizeof(error);
    std::wstring description;
    if (entry(owner, nullptr, kHelpGetLastError, reinterpret_cast<DWORD_PTR>(&error)) != nullptr &&
        FAILED(error.result) && error.description != nullptr)
        description = error.description;
    if (error.description != nullptr)
        ::SysFreeString(error.description);
    return description;
}
}  // namespace

void ShowHelpTopic(HWND owner, const wchar_t* topic)
{
    HtmlHelpEntry entry = TheHtmlHelpControl().Entry();
    if (entry == nullptr)
        return;  // no help control on this system: help stays silent
    const bool hasTopic = topic != nullptr && *topic != L'\0';
    const std::wstring reference = BuildHelpReference(HelpFilePath(), topic);
    if (entry(owner, reference.c_str(), hasTopic ? kHelpDisplayTopic : kHelpDisplayContents, 0) != nullptr)
        return;
    MessageBoxes::Show(owner, LastHelpError(owner, entry), LoadStringText(IDS_CAPTION_HELP_ERROR), MB_OK | MB_ICONEXCLAMATION);
    entry(nullptr, nullptr, kHelpCloseAll, 0);
}
