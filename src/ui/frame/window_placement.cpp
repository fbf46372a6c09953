#include "ui/frame/window_placement.h"

#include <cstdint>
#include <vector>

const wchar_t kWindowPlacementKey[] = L"Window";

namespace {
// The ten values as (name, reference into the record), in the order they are written.
template <class F>
bool ForEachField(WINDOWPLACEMENT& p, F f)
{
    struct CRef {
        const wchar_t* name;
        DWORD* value;
    };
    const CRef refs[] = {
        {L"flags", reinterpret_cast<DWORD*>(&p.flags)},
        {L"showCmd", reinterpret_cast<DWORD*>(&p.showCmd)},
        {L"minPosX", reinterpret_cast<DWORD*>(&p.ptMinPosition.x)},
        {L"minPosY", reinterpret_cast<DWORD*>(&p.ptMinPosition.y)},
        {L"maxPosX", reinterpret_cast<DWORD*>(&p.ptMaxPosition.x)},
        {L"maxPosY", reinterpret_cast<DWORD*>(&p.ptMaxPosition.y)},
        {L"bottom", reinterpret_cast<DWORD*>(&p.rcNormalPosition.bottom)},
        {L"left", reinterpret_cast<DWORD*>(&p.rcNormalPosition.left)},
        {L"right", reinterpret_cast<DWORD*>(&p.rcNormalPosition.right)},
        {L"top", reinterpret_cast<DWORD*>(&p.rcNormalPosition.top)},
    };
    for (const CRef& ref : refs)
        if (!f(ref.name, *ref.value))
            return false;
    return true;
}
}  // namespace

WINDOWPLACEMENT WithoutMinimised(const WINDOWPLACEMENT& placement)
{
    WINDOWPLACEMENT shown = placement;
    switch (placement.showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        shown.showCmd = (placement.flags & WPF_RESTORETOMAXIMIZED) != 0 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
        break;
    default:
        break;
    }
    return shown;
}

bool SaveWindowPlacement(ISettingsStore& store, const WINDOWPLACEMENT& placement)
{
    WINDOWPLACEMENT copy = WithoutMinimised(placement);
    return ForEachField(copy, [&](const wchar_t* name, DWORD& value) {
        return store.WriteDword(kWindowPlacementKey, name, value) == 0;
    });
}

bool ReadWindowPlacement(ISettingsStore& store, WINDOWPLACEMENT& placement)
{
    WINDOWPLACEMENT read = {};
    read.length = sizeof(read);
    const bool complete = ForEachField(read, [&](const wchar_t* name, DWORD& value) {
        DWORD type = 0;
        std::vector<uint8_t> data;
        if (store.ReadValue(kWindowPlacementKey, name, type, data) != 0 || type != kRegDword || data.size() != 4)
            return false;
        value = DWORD(data[0]) | DWORD(data[1]) << 8 | DWORD(data[2]) << 16 | DWORD(data[3]) << 24;
        return true;
    });
    if (complete)
        placement = read;
    return complete;
}

bool RestoreWindowPlacement(ISettingsStore& store, HWND window)
{
    WINDOWPLACEMENT placement = {};
    if (!ReadWindowPlacement(store, placement))
        return false;
    placement = WithoutMinimised(placement);  // stored by an older version
    placement.length = sizeof(placement);
    return ::SetWindowPlacement(window, &placement) != FALSE;
}
