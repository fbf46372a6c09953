// A text given either as a string-table identifier or as a string, as the program's
// message routines take it: a value below 0x10000 is an identifier (as with Windows'
// MAKEINTRESOURCE), 0 means "no text". The class is trivially copyable so that it can
// stand before the "..." of a formatting routine.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <type_traits>

#include "platform/win_types.h"

class CTextRef {
public:
    template <typename T, typename std::enable_if<std::is_integral<T>::value, int>::type = 0>
    constexpr CTextRef(T id) : m_id(static_cast<UINT>(id)), m_text(nullptr) {}
    CTextRef(const wchar_t* text)
        : m_id(IsIdPointer(text) ? static_cast<UINT>(reinterpret_cast<uintptr_t>(text)) : 0),
          m_text(IsIdPointer(text) ? nullptr : text) {}
    // The string must outlive the call the reference is passed to.
    CTextRef(const std::wstring& text) : m_id(0), m_text(text.c_str()) {}

    bool IsId() const { return m_text == nullptr && m_id != 0; }
    bool IsNone() const { return m_text == nullptr && m_id == 0; }
    UINT Id() const { return m_id; }

    // The string, or the string-table entry; empty for none or a missing entry.
    std::wstring Text() const;

private:
    static bool IsIdPointer(const wchar_t* text) { return reinterpret_cast<uintptr_t>(text) < 0x10000; }

    UINT m_id;
    const wchar_t* m_text;
};

// Formats the format (an identifier or a format string) with FormatV: %s takes wide
// strings. A text that is not a format (an error text, a received line) goes through
// L"%s", never as the format itself.
std::wstring FormatText(CTextRef format, ...);
std::wstring FormatTextV(CTextRef format, va_list args);
