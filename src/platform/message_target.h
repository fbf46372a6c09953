// Off Windows a window handle points to one of these. A target has a parent (for
// GetParent/GetAncestor), a control identifier (for GetDlgItem) and handles the
// messages sent or posted to it. Targets unregister themselves on destruction, so
// IsWindow, SendMessageW and PostMessageW on a destroyed target are harmless. When a
// parent goes, its children become top-level (their Parent() turns null).
#pragma once
#ifndef _WIN32

#include "platform/win_types.h"

class CMessageTarget {
public:
    explicit CMessageTarget(CMessageTarget* parent = nullptr, int controlId = 0);
    virtual ~CMessageTarget();
    CMessageTarget(const CMessageTarget&) = delete;
    CMessageTarget& operator=(const CMessageTarget&) = delete;

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    CMessageTarget* Parent() const { return m_parent; }
    int ControlId() const { return m_controlId; }
    void SetParent(CMessageTarget* parent);

protected:
    // Takes the target out of the registry at once (idempotent): from then on IsWindow
    // is false, posts fail and queued messages and timers are gone. The destructor does
    // it too; a derived class calls it earlier when it must stop receiving messages
    // before its own members are destroyed.
    void Unregister();

private:
    CMessageTarget* m_parent;
    int m_controlId;
};

#endif
