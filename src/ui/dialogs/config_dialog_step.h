// What the save and restore dialogs do with the answer of their decision functions
// (config/config_operation.h): button 2 becomes "Close", and/or the dialog ends.
#pragma once

#include "config/config_operation.h"
#include "ui/framework/dialog_impl.h"

// Button 2 ("Cancel") reads string 10044 "Close" from now on.
void ShowCloseButton(CDialogBase& dialog);
void ApplyConfigDialogStep(CDialogBase& dialog, const CConfigDialogStep& step);
