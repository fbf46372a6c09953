// Every machine's timer lives on the model's main window under its own identifier, so a
// tick can be told apart from those of other machines (and of the windows).
#pragma once

#include "platform/win_types.h"

namespace MachineTimer {
constexpr UINT_PTR McuLoader = 6;
constexpr UINT_PTR ConfigSave = 10;
constexpr UINT_PTR ConfigRestore = 11;
constexpr UINT_PTR Banner = 22;
constexpr UINT_PTR Contact = 23;
}  // namespace MachineTimer
