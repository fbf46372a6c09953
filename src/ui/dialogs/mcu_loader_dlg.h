// CMcuLoaderDlg: dialog 16000, "Sending ZR8 Firmware". It owns the MCU loader machine,
// made with the dialog from the firmware's name ("MCU") and the file to send, attached to
// the model while the dialog runs, detached and deleted with the dialog.
#pragma once

#include <memory>
#include <string>

#include "firmware/mcu_loader_state_machine.h"
#include "ui/dialogs/loader_dlg.h"

class CMcuLoaderDlg : public CLoaderDlg<CMcuLoaderDlg> {
public:
    enum { IDD = IDD_MCU_LOADER };

    CMcuLoaderDlg(CModelBase& model, const std::wstring& name, const std::wstring& firmwarePath);
    ~CMcuLoaderDlg() override;

    void ReportRetries() override;
    bool IsMachineIdle() override;
    BOOL StartMachine() override;
    DWORD VerifyVersion() override;

    CMcuLoaderStateMachine& Machine() { return *m_machine; }

protected:
    void OnDestroy() override;

private:
    void DropMachine();

    CModelBase& m_model;
    std::wstring m_firmwarePath;  // the machine keeps a reference to it
    std::unique_ptr<CMcuLoaderStateMachine> m_machine;
};
