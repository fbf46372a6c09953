#include "ui/dialogs/mcu_loader_dlg.h"

#include "firmware/version_verify.h"

CMcuLoaderDlg::CMcuLoaderDlg(CModelBase& model, const std::wstring& name, const std::wstring& firmwarePath)
    : CLoaderDlg<CMcuLoaderDlg>(model, name),
      m_model(model),
      m_firmwarePath(firmwarePath),
      m_machine(std::make_unique<CMcuLoaderStateMachine>(model, name, m_firmwarePath))
{
}

CMcuLoaderDlg::~CMcuLoaderDlg()
{
    DropMachine();
}

void CMcuLoaderDlg::ReportRetries()
{
    if (m_machine->TotalRetries() == 0)
        return;
    Report(FormatText(IDS_TOTAL_RETRIES, static_cast<unsigned>(m_machine->TotalRetries())));
    Report(FormatText(IDS_HIGHEST_RETRIES, static_cast<unsigned>(m_machine->HighestRetries())));
}

bool CMcuLoaderDlg::IsMachineIdle()
{
    return m_machine == nullptr || m_machine->IsIdle();
}

BOOL CMcuLoaderDlg::StartMachine()
{
    // The main frame routes the port's events and the timer's ticks to the attached
    // machine while it is busy.
    m_model.AttachOperation(m_machine.get());
    return m_machine->Start(m_hWnd);
}

DWORD CMcuLoaderDlg::VerifyVersion()
{
    return ::VerifyVersion(*m_machine, Name(), m_firmwarePath);
}

void CMcuLoaderDlg::OnDestroy()
{
    CLoaderDlg<CMcuLoaderDlg>::OnDestroy();
    DropMachine();
}

void CMcuLoaderDlg::DropMachine()
{
    if (m_machine == nullptr)
        return;
    // Closed in the middle of a load: the machine's timer stops and the model forgets it.
    m_machine->StopTimer();
    if (m_model.AttachedOperation() == static_cast<IStateMachine*>(m_machine.get()))
        m_model.DetachOperation();
    m_machine.reset();
}
