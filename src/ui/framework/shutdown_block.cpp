#include "ui/framework/shutdown_block.h"

#include <algorithm>
#include <vector>

namespace {

struct CHeldReason {
    const CShutdownBlock* block;
    HWND topLevel;
    std::wstring reason;
};

// The windows' thread is the only one that holds or releases.
std::vector<CHeldReason>& HeldReasons()
{
    static std::vector<CHeldReason> reasons;
    return reasons;
}

// Tells the system the latest reason still held for the window, or that none is.
void Publish(HWND topLevel)
{
    const std::wstring reason = CShutdownBlock::HeldReason(topLevel);
    if (reason.empty())
        ::ShutdownBlockReasonDestroy(topLevel);
    else
        ::ShutdownBlockReasonCreate(topLevel, reason.c_str());
}

}  // namespace

void CShutdownBlock::Hold(HWND window, const std::wstring& reason)
{
    Release();
    HWND topLevel = window != nullptr ? ::GetAncestor(window, GA_ROOTOWNER) : nullptr;
    if (topLevel == nullptr)
        topLevel = window;
    if (topLevel == nullptr)
        return;
    m_topLevel = topLevel;
    HeldReasons().push_back({this, topLevel, reason});
    Publish(topLevel);
}

void CShutdownBlock::Release()
{
    if (m_topLevel == nullptr)
        return;
    std::vector<CHeldReason>& reasons = HeldReasons();
    reasons.erase(std::remove_if(reasons.begin(), reasons.end(),
                                 [this](const CHeldReason& held) { return held.block == this; }),
                  reasons.end());
    HWND topLevel = m_topLevel;
    m_topLevel = nullptr;
    if (::IsWindow(topLevel))
        Publish(topLevel);
}

std::wstring CShutdownBlock::HeldReason(HWND topLevel)
{
    const std::vector<CHeldReason>& reasons = HeldReasons();
    for (auto held = reasons.rbegin(); held != reasons.rend(); ++held)
        if (held->topLevel == topLevel)
            return held->reason;
    return std::wstring();
}
