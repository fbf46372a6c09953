// Rows of controls that widen as one group when their window grows: a row's extra width
// is shared among its controls in proportion to their widths, so they keep their order
// and the gaps between them, and the row's right edge follows the window's.
#pragma once

#include <vector>

#include "platform/win_types.h"

class CSharedWidthRows {
public:
    // Records the controls' rectangles now; each row lists its controls left to right.
    void Init(HWND window, const std::vector<std::vector<int>>& rows);
    // Lays every row out for a window dx pixels wider (narrower when negative) than at Init.
    void Layout(int dx) const;

private:
    struct CItem {
        int id;
        RECT rect;
    };
    HWND m_window = nullptr;
    std::vector<std::vector<CItem>> m_rows;
};
