#include "cli/device_text.h"

#include "core/text/string_table.h"

std::wstring DeviceName(OrvandelDevice device) {
    static const struct {
        OrvandelDevice device;
        const wchar_t* name;
    } kNames[] = {
        {DeviceT6, L"T6"},         {DeviceTV9, L"TV9"},         {DeviceMVD300, L"MVD300"},
        {DeviceMVT300, L"MVT300"}, {DeviceQ5, L"Q5"},           {DeviceMVL7700, L"MVL7700"},
        {DeviceQR5, L"QR5"},       {DeviceTV4, L"TV4"},         {DeviceMVD1300, L"MVD1300"},
        {DeviceZR8, kModelName},
    };
    for (const auto& row : kNames)
        if (row.device == device) return row.name;
    return LoadStringText(IDS_CLI_DEVICE_UNKNOWN);
}

std::wstring FirmwareStatusName(FirmwareStatusEnum status) {
    switch (status) {
    case FirmwareStatusBootLoader: return LoadStringText(IDS_CLI_STATUS_BOOT_LOADER);
    case FirmwareStatusApplication: return LoadStringText(IDS_CLI_STATUS_APPLICATION);
    default: return LoadStringText(IDS_CLI_STATUS_NONE);
    }
}
