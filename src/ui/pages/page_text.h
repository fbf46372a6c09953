// Small helpers the pages share for their template texts.
#pragma once

#include <string>

#include "platform/win_types.h"

// Every "??" in the text replaced by the model name ("ZR8").
std::wstring FillModelName(const std::wstring& text);
// The control's text with FillModelName applied.
void FillModelNameInControl(HWND dialog, int id);
// Enables or disables every child window of the page.
void EnableAllChildren(HWND page, bool enable);
