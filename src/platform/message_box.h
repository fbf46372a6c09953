// Message boxes. On Windows MessageBoxW unless a handler is installed; elsewhere the
// installed handler (default: print to stderr and answer the default button, the
// first unless MB_DEFBUTTON2/3 says otherwise, as Enter would on Windows). The CLI
// installs one that asks Yes/No questions on the terminal; tests install one that
// records each box and answers it.
#pragma once

#include <functional>
#include <string>

#include "platform/win_types.h"

namespace MessageBoxes {

using Handler = std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)>;

// Returns the previous handler; an empty handler restores the default.
Handler SetHandler(Handler handler);
int Show(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

}  // namespace MessageBoxes
