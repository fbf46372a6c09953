#include "ui/frame/frame_title.h"

#include "core/model/radio_types.h"
#include "core/text/string_table.h"
#include "platform/wide_format.h"

std::wstring BuildFrameTitle(const std::wstring& appTitle, unsigned serialNumber, const std::wstring& portName,
                             bool portOpen, DWORD speed)
{
    std::wstring title = appTitle;
    if (serialNumber < kSerialNumberNone)
        title += FormatW(LoadStringText(IDS_SERIAL_NUMBER_SUFFIX).c_str(), serialNumber);
    if (!portName.empty()) {
        if (!portOpen)
            title += FormatW(LoadStringText(IDS_ON_PORT_CLOSED).c_str(), portName.c_str());
        else
            title += FormatW(LoadStringText(IDS_ON_PORT_AT_RATE).c_str(), portName.c_str(),
                             static_cast<unsigned>(speed));
    }
    return title;
}
