#pragma once

#include <cstdint>

enum OrvandelDevice : uint8_t {
    DeviceNone = 0,
    DeviceT6 = 1,
    DeviceTV9 = 2,
    DeviceMVD300 = 3,
    DeviceMVT300 = 4,
    DeviceQ5 = 6,
    DeviceMVL7700 = 9,
    DeviceQR5 = 12,
    DeviceTV4 = 14,
    DeviceMVD1300 = 15,
    DeviceZR8 = 17,
};

enum FirmwareStatusEnum : int32_t {
    FirmwareStatusNone = 0,
    FirmwareStatusBootLoader = 1,
    FirmwareStatusApplication = 2,
};

// Special MCU version values
constexpr unsigned short kMcuVersionNotRead = 0;
constexpr unsigned short kMcuVersionNotAvailable = 9999;
constexpr unsigned short kMcuVersionLoading = 65534;
constexpr unsigned short kSerialNumberNone = 0xFFFF;

// The model name filled into templates with "%s" or "??".
constexpr const wchar_t* kModelName = L"ZR8";
