// Our own reading of Windows-style wide formats. Numbers are handed to snprintf with a
// narrow format built from the same flags, width and precision; strings and characters
// are done here, because only here does %s mean a wide string on every platform.
// Sizes follow Windows: l is 32 bits (as DWORD and ULONG are), ll and I64 are 64 bits,
// z and I are the size of a pointer.
#include "platform/wide_format.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/code_pages.h"

namespace {

enum class Size { Char, Short, Default, Int32, Int64, Pointer, IntMax, LongDouble, Narrow, Wide };

struct Spec {
    std::string flags;  // as written, for snprintf
    bool left = false;
    int width = -1;
    int precision = -1;
    Size size = Size::Default;
};

constexpr int kMaxField = 1 << 16;  // a width or precision past this is a broken format

int ReadNumber(const wchar_t*& p)
{
    int value = 0;
    while (*p >= L'0' && *p <= L'9') {
        if (value < kMaxField)
            value = value * 10 + (*p - L'0');
        ++p;
    }
    return value < kMaxField ? value : kMaxField;
}

void Pad(std::wstring& out, const std::wstring& text, const Spec& spec)
{
    const size_t width = spec.width > 0 ? size_t(spec.width) : 0;
    const size_t fill = width > text.size() ? width - text.size() : 0;
    if (!spec.left)
        out.append(fill, L' ');
    out += text;
    if (spec.left)
        out.append(fill, L' ');
}

std::string NarrowFormat(const Spec& spec, const char* length, wchar_t conversion)
{
    std::string f = "%" + spec.flags;
    if (spec.width >= 0)
        f += std::to_string(spec.width);
    if (spec.precision >= 0)
        f += "." + std::to_string(spec.precision);
    f += length;
    f += char(conversion);
    return f;
}

template <typename T>
void AppendNumber(std::wstring& out, const Spec& spec, const char* length, wchar_t conversion, T value)
{
    const std::string f = NarrowFormat(spec, length, conversion);
    char small[64];
    int n = std::snprintf(small, sizeof small, f.c_str(), value);
    if (n < 0)
        return;
    std::string text;
    if (size_t(n) < sizeof small) {
        text.assign(small, size_t(n));
    } else {
        text.resize(size_t(n) + 1);
        std::snprintf(&text[0], text.size(), f.c_str(), value);
        text.resize(size_t(n));
    }
    for (char c : text)
        out += wchar_t(static_cast<unsigned char>(c));
}

void AppendInteger(std::wstring& out, const Spec& spec, wchar_t conversion, va_list& args)
{
    const bool isSigned = conversion == L'd' || conversion == L'i';
    switch (spec.size) {
    case Size::Char:
        if (isSigned)
            AppendNumber(out, spec, "hh", conversion, static_cast<signed char>(va_arg(args, int)));
        else
            AppendNumber(out, spec, "hh", conversion, static_cast<unsigned char>(va_arg(args, unsigned)));
        break;
    case Size::Short:
        if (isSigned)
            AppendNumber(out, spec, "h", conversion, static_cast<short>(va_arg(args, int)));
        else
            AppendNumber(out, spec, "h", conversion, static_cast<unsigned short>(va_arg(args, unsigned)));
        break;
    case Size::Int64:
        if (isSigned)
            AppendNumber(out, spec, "ll", conversion, static_cast<long long>(va_arg(args, int64_t)));
        else
            AppendNumber(out, spec, "ll", conversion, static_cast<unsigned long long>(va_arg(args, uint64_t)));
        break;
    case Size::Pointer:
        if (isSigned)
            AppendNumber(out, spec, "ll", conversion, static_cast<long long>(va_arg(args, intptr_t)));
        else
            AppendNumber(out, spec, "ll", conversion, static_cast<unsigned long long>(va_arg(args, size_t)));
        break;
    case Size::IntMax:
        if (isSigned)
            AppendNumber(out, spec, "ll", conversion, static_cast<long long>(va_arg(args, intmax_t)));
        else
            AppendNumber(out, spec, "ll", conversion, static_cast<unsigned long long>(va_arg(args, uintmax_t)));
        break;
    default:  // none, l, I32: 32 bits
        if (isSigned)
            AppendNumber(out, spec, "", conversion, static_cast<int>(va_arg(args, int32_t)));
        else
            AppendNumber(out, spec, "", conversion, static_cast<unsigned>(va_arg(args, uint32_t)));
        break;
    }
}

void AppendFloat(std::wstring& out, const Spec& spec, wchar_t conversion, va_list& args)
{
    if (spec.size == Size::LongDouble)
        AppendNumber(out, spec, "L", conversion, va_arg(args, long double));
    else
        AppendNumber(out, spec, "", conversion, va_arg(args, double));
}

bool NarrowArgument(const Spec& spec, wchar_t conversion)
{
    // In wide functions %S and %C take the narrow kind, h forces narrow, l and w wide.
    if (spec.size == Size::Narrow || spec.size == Size::Short)
        return true;
    if (spec.size == Size::Wide || spec.size == Size::Int32)
        return false;
    return conversion == L'S' || conversion == L'C';
}

void AppendString(std::wstring& out, const Spec& spec, wchar_t conversion, va_list& args)
{
    std::wstring text;
    if (NarrowArgument(spec, conversion)) {
        const char* s = va_arg(args, const char*);
        if (s == nullptr) {
            text = L"(null)";
        } else {
            size_t n = spec.precision >= 0 ? strnlen(s, size_t(spec.precision)) : std::strlen(s);
            text = CodePages::FromAnsi(std::string(s, n));
        }
    } else {
        const wchar_t* s = va_arg(args, const wchar_t*);
        if (s == nullptr) {
            text = L"(null)";
        } else {
            size_t n = 0;
            while (s[n] != 0 && (spec.precision < 0 || n < size_t(spec.precision)))
                ++n;
            text.assign(s, n);
        }
    }
    if (spec.precision >= 0 && text.size() > size_t(spec.precision))
        text.resize(size_t(spec.precision));
    Pad(out, text, spec);
}

void AppendChar(std::wstring& out, const Spec& spec, wchar_t conversion, va_list& args)
{
    const int c = va_arg(args, int);
    std::wstring text;
    if (NarrowArgument(spec, conversion))
        text = CodePages::FromAnsi(std::string(1, char(c)));
    else
        text.assign(1, wchar_t(c));
    Pad(out, text, spec);
}

void AppendPointer(std::wstring& out, const Spec& spec, va_list& args)
{
    // As the Windows runtime prints it: all the digits of the pointer, upper case.
    const void* p = va_arg(args, const void*);
    char digits[2 * sizeof(void*) + 1];
    std::snprintf(digits, sizeof digits, "%0*llX", int(2 * sizeof(void*)),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(p)));
    Pad(out, CodePages::FromAnsi(digits), spec);
}

// Reads the size prefix at p, if there is one.
void ReadSize(const wchar_t*& p, Spec& spec)
{
    switch (*p) {
    case L'h':
        ++p;
        if (*p == L'h') {
            ++p;
            spec.size = Size::Char;
        } else {
            spec.size = Size::Short;
        }
        return;
    case L'l':
        ++p;
        if (*p == L'l') {
            ++p;
            spec.size = Size::Int64;
        } else {
            spec.size = Size::Int32;
        }
        return;
    case L'w':
        ++p;
        spec.size = Size::Wide;
        return;
    case L'L':
        ++p;
        spec.size = Size::LongDouble;
        return;
    case L'z':
    case L't':
        ++p;
        spec.size = Size::Pointer;
        return;
    case L'j':
        ++p;
        spec.size = Size::IntMax;
        return;
    case L'I':
        if (p[1] == L'6' && p[2] == L'4') {
            p += 3;
            spec.size = Size::Int64;
        } else if (p[1] == L'3' && p[2] == L'2') {
            p += 3;
            spec.size = Size::Int32;
        } else {
            ++p;
            spec.size = Size::Pointer;
        }
        return;
    default:
        return;
    }
}

}  // namespace

std::wstring FormatV(const wchar_t* format, va_list args)
{
    std::wstring out;
    if (format == nullptr)
        return out;
    va_list ap;
    va_copy(ap, args);
    const wchar_t* p = format;
    while (*p != 0) {
        if (*p != L'%') {
            out += *p++;
            continue;
        }
        const wchar_t* start = p++;
        if (*p == L'%') {
            out += L'%';
            ++p;
            continue;
        }
        Spec spec;
        while (*p != 0 && std::wcschr(L"-+ #0", *p) != nullptr) {
            if (*p == L'-')
                spec.left = true;
            spec.flags += char(*p);
            ++p;
        }
        if (*p == L'*') {
            int w = va_arg(ap, int);
            if (w < 0) {
                spec.left = true;
                spec.flags += '-';
                w = w == INT32_MIN ? kMaxField : -w;
            }
            spec.width = w < kMaxField ? w : kMaxField;
            ++p;
        } else if (*p >= L'0' && *p <= L'9') {
            spec.width = ReadNumber(p);
        }
        if (*p == L'.') {
            ++p;
            if (*p == L'*') {
                int prec = va_arg(ap, int);
                spec.precision = prec < 0 ? -1 : (prec < kMaxField ? prec : kMaxField);
                ++p;
            } else {
                spec.precision = ReadNumber(p);
            }
        }
        ReadSize(p, spec);
        const wchar_t conversion = *p;
        switch (conversion) {
        case L'd':
        case L'i':
        case L'u':
        case L'x':
        case L'X':
        case L'o':
            AppendInteger(out, spec, conversion, ap);
            break;
        case L'e':
        case L'E':
        case L'f':
        case L'F':
        case L'g':
        case L'G':
        case L'a':
        case L'A':
            AppendFloat(out, spec, conversion, ap);
            break;
        case L's':
        case L'S':
            AppendString(out, spec, conversion, ap);
            break;
        case L'c':
        case L'C':
            AppendChar(out, spec, conversion, ap);
            break;
        case L'p':
            AppendPointer(out, spec, ap);
            break;
        case 0:
            // A lone % at the end is written as it stands.
            out.append(start, p);
            continue;
        default:
            // Unknown conversions (and %n, which we never honour) are written as they
            // stand and take no argument.
            out.append(start, p + 1);
            break;
        }
        ++p;
    }
    va_end(ap);
    return out;
}

std::wstring FormatW(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring text = FormatV(format, args);
    va_end(args);
    return text;
}
