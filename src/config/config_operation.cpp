#include "config/config_operation.h"

#include "config/config_save_state_machine.h"

DWORD CompleteConfigSave(DWORD result, const CConfigSaveStateMachine& machine, HWND owner,
                         const std::wstring& path, const CSaveTime& time, const CConfigFileHeader& header) {
    if (IsFailure(result)) return result;
    if (WriteConfigurationFile(owner, path, time, machine.Image(), header)) return 0;
    const DWORD code = GetLastError();
    return code != 0 ? code : DWORD(ERROR_WRITE_FAULT);
}
