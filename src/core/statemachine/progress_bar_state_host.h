// CProgressBarStateHost<T>: a host that moves the progress bar of the dialog running
// the machine (control 16010). The bar counts steps of 32 units, so a range of up to
// 2 MB of units stays inside the bar's 16-bit range.
#pragma once

#include <algorithm>

#include "core/statemachine/state_host.h"
#include "platform/win_types.h"

// The progress bar's messages; on Windows commctrl.h defines the same values.
#ifndef PBM_SETRANGE
#define PBM_SETRANGE (WM_USER+1)
#endif
#ifndef PBM_SETPOS
#define PBM_SETPOS (WM_USER+2)
#endif

template <class T>
class CProgressBarStateHost : public CStateHost<T> {
public:
    static constexpr int kProgressBarId = 16010;
    static constexpr DWORD kUnitsPerStep = 32;

    CProgressBarStateHost(CModelBase& model, UINT_PTR timerId) : CStateHost<T>(model, timerId) {}

    void AttachProgressBar(HWND dialog) {
        m_progressBar = (dialog && IsWindow(dialog)) ? GetDlgItem(dialog, kProgressBarId) : nullptr;
    }
    void SetProgressRange(DWORD totalUnits) {
        m_position = 0;
        m_total = totalUnits;
        if (HasBar()) {
            SendMessageW(m_progressBar, PBM_SETPOS, 0, 0);
            SendMessageW(m_progressBar, PBM_SETRANGE, 0,
                         static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(0, m_total / m_unitsPerStep))));
        }
    }
    void AdvanceProgress(DWORD units) override {
        m_position = std::min(m_position + units, m_total);
        if (HasBar()) SendMessageW(m_progressBar, PBM_SETPOS, static_cast<WPARAM>(m_position / m_unitsPerStep), 0);
    }

    DWORD ProgressPosition() const { return m_position; }
    DWORD ProgressTotal() const { return m_total; }
    HWND ProgressBar() const { return m_progressBar; }

protected:
    bool HasBar() const { return m_progressBar && IsWindow(m_progressBar); }

    DWORD m_unitsPerStep = kUnitsPerStep;
    DWORD m_position = 0;
    DWORD m_total = 0;
    HWND m_progressBar = nullptr;
};
