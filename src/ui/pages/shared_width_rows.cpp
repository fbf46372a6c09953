#include "ui/pages/shared_width_rows.h"

void CSharedWidthRows::Init(HWND window, const std::vector<std::vector<int>>& rows)
{
    m_window = window;
    m_rows.clear();
    for (const std::vector<int>& ids : rows) {
        std::vector<CItem> row;
        for (int id : ids) {
            HWND control = ::GetDlgItem(window, id);
            if (control == nullptr)
                continue;
            RECT rect;
            ::GetWindowRect(control, &rect);
            ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
            row.push_back({id, rect});
        }
        m_rows.push_back(row);
    }
}

void CSharedWidthRows::Layout(int dx) const
{
    for (const std::vector<CItem>& row : m_rows) {
        long total = 0;
        for (const CItem& item : row)
            total += item.rect.right - item.rect.left;
        if (total <= 0)
            continue;
        // Cumulative shares, so the rounding never adds up and the last control's right
        // edge moves by exactly dx.
        long before = 0;
        for (const CItem& item : row) {
            const long width = item.rect.right - item.rect.left;
            const int shiftLeft = static_cast<int>(dx * before / total);
            const int shiftRight = static_cast<int>(dx * (before + width) / total);
            before += width;
            const int left = item.rect.left + shiftLeft;
            const int right = item.rect.right + shiftRight;
            ::SetWindowPos(::GetDlgItem(m_window, item.id), nullptr, left, item.rect.top,
                           right > left ? right - left : 0, item.rect.bottom - item.rect.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}
