// CMessageLoop: the user-interface thread's loop. Every queued message is first offered
// to the message filters (the most recently added first); a filter that returns TRUE has
// taken it (an accelerator, a dialog's keyboard navigation). Only otherwise is it
// translated and dispatched. While no message waits, the idle handlers get a turn,
// repeated while any of them reports more work. Run ends on WM_QUIT with its value.
//
// One loop per thread: the constructor makes it the thread's loop (ForThread), the
// destructor undoes that, so windows find the loop they register with.
#pragma once

#include <vector>

#include "platform/win_types.h"

class CMessageFilter {
public:
    virtual ~CMessageFilter() = default;
    virtual BOOL PreTranslateMessage(MSG* message) = 0;
};

class CIdleHandler {
public:
    virtual ~CIdleHandler() = default;
    // TRUE when there is more idle work to do.
    virtual BOOL OnIdle() = 0;
};

class CMessageLoop {
public:
    CMessageLoop();
    ~CMessageLoop();
    CMessageLoop(const CMessageLoop&) = delete;
    CMessageLoop& operator=(const CMessageLoop&) = delete;

    // The loop of the calling thread, or null.
    static CMessageLoop* ForThread();

    bool AddMessageFilter(CMessageFilter* filter);
    bool RemoveMessageFilter(CMessageFilter* filter);
    bool AddIdleHandler(CIdleHandler* handler);
    bool RemoveIdleHandler(CIdleHandler* handler);

    // TRUE when a filter took the message.
    BOOL PreTranslateMessage(MSG* message);
    // TRUE when an idle handler has more work.
    BOOL OnIdle();

    // Runs until WM_QUIT; returns its wParam.
    int Run();
    // Handles what is queued now (filters included) without waiting; false once WM_QUIT
    // was taken (it is put back for Run). Tests drive the windows with it.
    bool PumpPending();

private:
    void Dispatch(MSG& message);

    std::vector<CMessageFilter*> m_filters;
    std::vector<CIdleHandler*> m_idleHandlers;
    CMessageLoop* m_previous = nullptr;
};
