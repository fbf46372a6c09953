// Text conversions. Inside the program text is std::wstring; the radio gets UTF-8;
// the "ANSI code page" is the system's on Windows and Windows-1252 elsewhere.
// File names on POSIX are UTF-8.
#pragma once

#include <string>

namespace CodePages {

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);  // invalid sequences become U+FFFD
std::string ToAnsi(const std::wstring& text);    // unmappable characters become '?'
std::wstring FromAnsi(const std::string& text);
// A path as the OS takes it: UTF-8 off Windows.
std::string ToNativePath(const std::wstring& path);

}  // namespace CodePages
