// Off Windows: UTF-8 by hand, and Windows-1252 as the "ANSI code page".
#include "platform/code_pages.h"

#include <cstdint>

namespace CodePages {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 bytes 0x80-0x9F. The five bytes the code page leaves undefined map to
// the C1 control of the same value, as Windows itself converts them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendCodePoint(std::wstring& out, char32_t cp)
{
    if (sizeof(wchar_t) == 2 && cp >= 0x10000) {
        cp -= 0x10000;
        out += wchar_t(0xD800 + (cp >> 10));
        out += wchar_t(0xDC00 + (cp & 0x3FF));
    } else {
        out += wchar_t(cp);
    }
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::string ToUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = char32_t(uint32_t(text[i]));
        // Text that came from UTF-16 may hold surrogate pairs even in 32-bit characters.
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(char32_t(text[i + 1]))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::wstring FromUtf8(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const uint8_t b = uint8_t(text[i]);
        if (b < 0x80) {
            out += wchar_t(b);
            ++i;
            continue;
        }
        size_t length;
        char32_t cp;
        uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            cp = b & 0x0F;
            if (b == 0xE0)
                low = 0xA0;  // overlong
            if (b == 0xED)
                high = 0x9F;  // surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            cp = b & 0x07;
            if (b == 0xF0)
                low = 0x90;  // overlong
            if (b == 0xF4)
                high = 0x8F;  // past U+10FFFF
        } else {
            out += wchar_t(kReplacement);
            ++i;
            continue;
        }
        // One replacement character for each maximal invalid piece, as Windows does.
        size_t j = 1;
        for (; j < length && i + j < n; ++j) {
            const uint8_t c = uint8_t(text[i + j]);
            const uint8_t lo = j == 1 ? low : 0x80;
            const uint8_t hi = j == 1 ? high : 0xBF;
            if (c < lo || c > hi)
                break;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (j < length) {
            out += wchar_t(kReplacement);
            i += j;
            continue;
        }
        AppendCodePoint(out, cp);
        i += length;
    }
    return out;
}

std::string ToAnsi(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        const uint32_t c = uint32_t(w);
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += char(c);
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k) {
            if (kCp1252High[k] == c) {
                mapped = char(0x80 + k);
                break;
            }
        }
        out += mapped;
    }
    return out;
}

std::wstring FromAnsi(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (char ch : text) {
        const uint8_t b = uint8_t(ch);
        out += (b >= 0x80 && b < 0xA0) ? wchar_t(kCp1252High[b - 0x80]) : wchar_t(b);
    }
    return out;
}

std::string ToNativePath(const std::wstring& path)
{
    return ToUtf8(path);
}

}  // namespace CodePages
