// Windows-style wide formatting, the same on every platform: in these formats %s takes
// a wide string (const wchar_t*), %hs a narrow one, %c a wide character; %d %i %u %x
// %X %o with the h, l, ll, I64 and z size prefixes; flags - + space # 0, width and
// precision (also as *); %%. Never hand the program's formats to swprintf: mingw-w64
// and glibc read %s there as a narrow string.
#pragma once

#include <cstdarg>
#include <string>

std::wstring FormatW(const wchar_t* format, ...);
std::wstring FormatV(const wchar_t* format, va_list args);
