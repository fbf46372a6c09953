#pragma once
// Names for value-parameterised cases. Without a name generator GoogleTest names a case
// after its index and lists the parameter's raw bytes beside it (pointers and padding
// included), which differ from run to run; a case named after itself is the same name in
// the listing and in the run, and says what failed.
#include <cctype>
#include <string>
#include <string_view>

// Letters and digits as they stand; every run of other characters becomes one '_'.
inline std::string CaseName(std::string_view text) {
    std::string name;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name.empty() ? "Empty" : name;
}

inline std::string CaseName(std::wstring_view text) {
    std::string narrow;
    for (wchar_t c : text) narrow += (c > 0 && c < 0x80) ? static_cast<char>(c) : ' ';
    return CaseName(std::string_view(narrow));
}
