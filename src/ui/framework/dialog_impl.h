// Dialogs from templates of the program's resources. CDialogBase owns the dialog
// procedure: it hands every message to ProcessWindowMessage and turns the handler's
// answer into what the dialog manager expects (the result in DWLP_MSGRESULT, or as the
// return value for WM_INITDIALOG and the few messages that return it directly).
// CDialogImpl<T> takes the template from T::IDD.
#pragma once

#include "ui/framework/window.h"

// Shared by dialogs and property pages: the value a dialog procedure returns.
INT_PTR DialogProcResult(HWND window, UINT message, BOOL handled, LRESULT result);

class CDialogBase : public CWindow, public IMessageHandler {
public:
    CDialogBase() = default;
    ~CDialogBase() override;  // destroys a modeless dialog that is still open
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    // Runs the dialog modally; returns the EndDialog value, or -1 (last error set) when
    // the dialog could not be created. initParam reaches WM_INITDIALOG's lParam.
    INT_PTR DoModal(UINT templateId, HWND parent, LPARAM initParam = 0);
    // Creates the dialog modeless; null on failure.
    HWND Create(UINT templateId, HWND parent, LPARAM initParam = 0);
    // Ends a modal dialog, destroys a modeless one.
    BOOL EndDialog(INT_PTR result);
    bool IsModal() const { return m_modal; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    struct CCreateParams {
        CDialogBase* self;
        LPARAM initParam;
    };
    bool m_modal = false;
};

template <class T>
class CDialogImpl : public CDialogBase {
public:
    INT_PTR DoModal(HWND parent, LPARAM initParam = 0) { return CDialogBase::DoModal(T::IDD, parent, initParam); }
    HWND Create(HWND parent, LPARAM initParam = 0) { return CDialogBase::Create(T::IDD, parent, initParam); }
};
