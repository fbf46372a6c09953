#include "config/config_line_parser.h"

#include <cwctype>
#include <string>

#include "core/text/display_text.h"
#include "core/text/hex_text.h"

namespace ConfigLine {

namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\v' || c == L'\f' || c == L'\r' || c == L'\n'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towupper(a[i]) != std::towupper(b[i])) return false;
    return true;
}

// Leading white space, then decimal digits only, at most 255.
bool ParseSmallDecimal(std::wstring_view field, unsigned& value) {
    while (!field.empty() && IsSpace(field.front())) field.remove_prefix(1);
    if (field.empty()) return false;
    value = 0;
    for (wchar_t c : field) {
        if (!IsDigit(c)) return false;
        value = value * 10 + unsigned(c - L'0');
        if (value > 255) return false;
    }
    return true;
}

bool ParseHexByte(std::wstring_view two, BYTE& value) {
    return two.size() == 2 && HexPairToByte(two[0], two[1], value);
}

}  // namespace

bool StartsWith(std::wstring_view line, std::wstring_view prefix) { return line.substr(0, prefix.size()) == prefix; }

bool ParseIntegrity(std::wstring_view line, DWORD& value) {
    if (!StartsWith(line, L"CRC32 = 0x") && !StartsWith(line, L"CRC32 = 0X")) return false;
    const std::wstring_view digits = line.substr(10);
    if (digits.size() < 8) return false;
    value = 0;
    for (size_t i = 0; i < 8; i += 2) {
        BYTE b = 0;
        if (!HexPairToByte(digits[i], digits[i + 1], b)) return false;
        value = (value << 8) | b;
    }
    return true;
}

bool ParseMemory(std::wstring_view line, CMemoryLine& out) {
    const std::vector<std::wstring> raw = SplitOnSpaces(line);
    if (raw.size() < 5) return false;
    std::wstring_view pieces[5];
    for (int i = 0; i < 5; ++i) pieces[i] = Trim(raw[i]);
    if (!EqualsIgnoringCase(pieces[0], L"MEM2")) return false;
    BYTE high = 0, low = 0, count = 0;
    if (!ParseHexByte(pieces[1], high) || !ParseHexByte(pieces[2], low) || !ParseHexByte(pieces[3], count))
        return false;
    const std::wstring_view data = pieces[4];
    if (data.size() != 2u * count) return false;
    out.address = (DWORD(high) << 8) | low;
    out.bytes.assign(count, 0);
    for (size_t i = 0; i < count; ++i)
        if (!HexPairToByte(data[2 * i], data[2 * i + 1], out.bytes[i])) return false;
    return true;
}

bool ParseDecimalMemory(std::wstring_view line, DWORD& address, BYTE& value) {
    if (line.size() < 15 || !StartsWith(line, L"MEM ") || line[7] != L'.' || line.substr(11, 3) != L" = ")
        return false;
    unsigned page = 0, offset = 0, v = 0;
    if (!ParseSmallDecimal(line.substr(4, 3), page) || !ParseSmallDecimal(line.substr(8, 3), offset) ||
        !ParseSmallDecimal(Trim(line.substr(14)), v))
        return false;
    address = page * 256 + offset;
    value = static_cast<BYTE>(v);
    return true;
}

bool ParseSerialNumber(std::wstring_view line, std::wstring_view key, unsigned short& serialNumber) {
    if (!StartsWith(line, key)) return false;
    std::wstring_view rest = line.substr(key.size());
    if (!StartsWith(rest, L" = ")) return false;
    rest.remove_prefix(3);
    while (!rest.empty() && IsSpace(rest.front())) rest.remove_prefix(1);
    if (rest.empty() || !IsDigit(rest.front())) return false;
    unsigned value = 0;
    for (size_t i = 0; i < rest.size() && IsDigit(rest[i]); ++i) value = (value * 10 + unsigned(rest[i] - L'0')) & 0xFFFF;
    serialNumber = static_cast<unsigned short>(value);
    return true;
}

}  // namespace ConfigLine
