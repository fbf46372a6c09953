// The fixed-pitch font of the output windows that show protocol text: 10-point
// "Courier New" at the resolution of the window's device context.
#pragma once

#include <windows.h>

// Owns one GDI font; deletes it when it goes.
class CFontHandle {
public:
    CFontHandle() = default;
    explicit CFontHandle(HFONT font) : m_font(font) {}
    ~CFontHandle() { Reset(); }
    CFontHandle(CFontHandle&& other) noexcept : m_font(other.Release()) {}
    CFontHandle& operator=(CFontHandle&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_font = other.Release();
        }
        return *this;
    }
    CFontHandle(const CFontHandle&) = delete;
    CFontHandle& operator=(const CFontHandle&) = delete;

    HFONT Get() const { return m_font; }
    explicit operator bool() const { return m_font != nullptr; }
    HFONT Release()
    {
        HFONT font = m_font;
        m_font = nullptr;
        return font;
    }
    void Reset()
    {
        if (m_font != nullptr)
            DeleteObject(m_font);
        m_font = nullptr;
    }

private:
    HFONT m_font = nullptr;
};

// The font height for 10 points at the given vertical pixels per logical inch:
// -(10 * dpi / 72), multiplied before dividing and rounded to nearest.
LONG FixedFontHeight(int pixelsPerInch);
// The pixels per inch come from the window's device context, or the screen's when the
// window is null or gives none. All other font attributes are zero.
CFontHandle MakeFixedFont(HWND window);
