#include "ui/log/fixed_font.h"

#include <algorithm>
#include <iterator>

namespace {

// A device context taken with GetDC and given back on every path.
class CWindowDC {
public:
    explicit CWindowDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~CWindowDC()
    {
        if (m_dc != nullptr)
            ReleaseDC(m_window, m_dc);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

int PixelsPerInch(HWND window)
{
    if (window != nullptr) {
        CWindowDC dc(window);
        if (dc.Get() != nullptr)
            return GetDeviceCaps(dc.Get(), LOGPIXELSY);
    }
    CWindowDC screen(nullptr);
    return screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
}

}  // namespace

LONG FixedFontHeight(int pixelsPerInch)
{
    return -MulDiv(10, pixelsPerInch, 72);
}

CFontHandle MakeFixedFont(HWND window)
{
    LOGFONTW font{};
    font.lfHeight = FixedFontHeight(PixelsPerInch(window));
    static const wchar_t kFace[] = L"Courier New";
    std::copy(std::begin(kFace), std::end(kFace), font.lfFaceName);
    return CFontHandle(CreateFontIndirectW(&font));
}
