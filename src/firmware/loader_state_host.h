// CLoaderStateHost<T>: the host of a machine that writes firmware through the radio's
// boot loader. It keeps the retry statistics the loader dialog reports, the fill count
// of a resynchronisation under way, the address of the next packet and the firmware's
// name for the log lines. Its completion re-establishes contact first: the radio has
// restarted, so its owner hears the outcome once the radio is found and identified again.
#pragma once

#include <algorithm>
#include <string>

#include "core/model/model_base.h"
#include "core/statemachine/progress_bar_state_host.h"
#include "core/statemachine/state_machine.h"
#include "platform/win_types.h"

template <class T>
class CLoaderStateHost : public CProgressBarStateHost<T> {
public:
    CLoaderStateHost(CModelBase& model, UINT_PTR timerId, const std::wstring& name)
        : CProgressBarStateHost<T>(model, timerId), m_name(name) {}

    // A loader dropped in the middle of a load (its dialog closed) must not leave its
    // timer ticking on the main window, nor its pointer with the model.
    ~CLoaderStateHost() override {
        this->StopTimer();
        CModelBase& model = this->Model();
        if (model.AttachedOperation() == static_cast<IStateMachine*>(this)) model.DetachOperation();
    }

    void OnComplete() override { this->OnCompleteReconnect(); }

    // Adds one packet's retries to the statistics.
    void AddRetries(DWORD retries) {
        m_highestRetries = std::max(m_highestRetries, retries);
        m_totalRetries += retries;
    }
    void ResetStatistics() {
        m_highestRetries = 0;
        m_totalRetries = 0;
        m_fillCount = 0;
    }

    // Makes the state current without its Reset: a resynchronisation hands the packet
    // back to its load state, which resends it with its retry count kept.
    void Resume(CState<T>* state) { this->m_current = state; }

    DWORD HighestRetries() const { return m_highestRetries; }
    DWORD TotalRetries() const { return m_totalRetries; }
    DWORD FillCount() const { return m_fillCount; }
    void SetFillCount(DWORD count) { m_fillCount = count; }
    DWORD LoadAddress() const { return m_loadAddress; }
    void SetLoadAddress(DWORD address) { m_loadAddress = address; }
    const std::wstring& Name() const { return m_name; }

protected:
    DWORD m_highestRetries = 0;
    DWORD m_totalRetries = 0;
    DWORD m_fillCount = 0;
    DWORD m_loadAddress = 0;
    std::wstring m_name;
};
