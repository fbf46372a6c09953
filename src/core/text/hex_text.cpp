#include "core/text/hex_text.h"

#include "core/text/error_codes.h"

namespace {

int HexDigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}

bool IsWhiteSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

const wchar_t kHexDigits[] = L"0123456789ABCDEF";

}  // namespace

bool HexPairToByte(wchar_t high, wchar_t low, BYTE& value)
{
    int h = HexDigitValue(high);
    int l = HexDigitValue(low);
    if (h < 0 || l < 0) {
        SetLastError(Zr8Error::UnexpectedHexCharacter);
        return false;
    }
    value = static_cast<BYTE>(h * 16 + l);
    return true;
}

bool ParseHexBytes(std::wstring_view text, size_t count, std::vector<BYTE>& bytes)
{
    std::vector<BYTE> parsed;
    parsed.reserve(count);
    size_t i = 0;
    for (;;) {
        while (i < text.size() && IsWhiteSpace(text[i]))
            ++i;
        if (i == text.size())
            break;
        if (i + 1 == text.size()) {
            // A lone digit at the end: half a pair. A lone non-digit is a bad character.
            SetLastError(HexDigitValue(text[i]) < 0 ? Zr8Error::UnexpectedHexCharacter : ERROR_INVALID_DATA);
            return false;
        }
        BYTE value = 0;
        if (!HexPairToByte(text[i], text[i + 1], value))
            return false;
        if (parsed.size() == count) {
            SetLastError(ERROR_INVALID_DATA);
            return false;
        }
        parsed.push_back(value);
        i += 2;
    }
    if (parsed.size() != count) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    bytes.swap(parsed);
    return true;
}

bool IsAllHexDigits(std::wstring_view text)
{
    for (wchar_t c : text) {
        if (HexDigitValue(c) < 0)
            return false;
    }
    return true;
}

std::wstring BytesToHex(const BYTE* data, size_t count)
{
    std::wstring text;
    text.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        text += kHexDigits[data[i] >> 4];
        text += kHexDigits[data[i] & 0x0F];
    }
    return text;
}
