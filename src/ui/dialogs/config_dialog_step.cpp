#include "ui/dialogs/config_dialog_step.h"

#include "core/text/string_table.h"

void ShowCloseButton(CDialogBase& dialog)
{
    dialog.SetDlgItemText(IDCANCEL, LoadStringText(IDS_CLOSE));
}

void ApplyConfigDialogStep(CDialogBase& dialog, const CConfigDialogStep& step)
{
    if (step.closeButton)
        ShowCloseButton(dialog);
    if (step.endDialog)
        dialog.EndDialog(step.dialogResult);
}
