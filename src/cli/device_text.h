// Names for what the contact found, as the tool prints them.
#pragma once

#include <string>

#include "core/model/radio_types.h"

std::wstring DeviceName(OrvandelDevice device);  // "ZR8", "TV4", ... or "not identified"
std::wstring FirmwareStatusName(FirmwareStatusEnum status);
