// IStateMachine: what the main frame (and the model's routing) sees of a machine that
// talks to the radio. The handlers have the shape of window-message handlers and
// return 0; `handled` is set when the machine took the message.
#pragma once

#include "platform/win_types.h"

class IStateMachine {
public:
    virtual bool IsIdle() = 0;
    virtual LRESULT OnPortEvent(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) = 0;
    virtual LRESULT OnTimer(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) = 0;

protected:
    ~IStateMachine() = default;
};
