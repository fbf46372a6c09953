#include "core/statemachine/eeprom_block.h"

#include <algorithm>
#include <vector>

#include "core/text/error_codes.h"
#include "platform/wide_format.h"

namespace EepromBlock {
namespace {

struct Range {
    DWORD first;
    DWORD last;
};

// 0x0C0-0x0C1 and 0x0FB-0x0FF hold what the radio must keep; the radio refuses them too.
const Range kWritableRanges[] = {
    {0x0000, 0x00BF}, {0x00C2, 0x00FA}, {0x0100, 0x01FF}, {0x0200, 0x02FF}, {0x0300, 0x03FF},
};

constexpr size_t kHeaderLength = 8;     // "ER"/"EW", address, count
constexpr size_t kCommandLength = 11;   // header, checksum, ";"

int HexDigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

bool ParseHexByte(const std::wstring& text, size_t at, BYTE& value)
{
    if (at + 2 > text.size()) {
        SetLastError(Zr8Error::UnexpectedHexCharacter);
        return false;
    }
    int high = HexDigitValue(text[at]);
    int low = HexDigitValue(text[at + 1]);
    if (high < 0 || low < 0) {
        SetLastError(Zr8Error::UnexpectedHexCharacter);
        return false;
    }
    value = static_cast<BYTE>(high * 16 + low);
    return true;
}

wchar_t UpperLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool SameHeader(const std::wstring& response, const std::wstring& command)
{
    for (size_t i = 0; i < kHeaderLength; ++i)
        if (UpperLetter(response[i]) != UpperLetter(command[i]))
            return false;
    return true;
}

}  // namespace

DWORD NextBlockLength(DWORD address, DWORD remaining)
{
    DWORD n = std::min(remaining, kMaxBlockLength);
    if (n == 0)
        return 0;
    if ((address / kPageSize) != ((address + n - 1) / kPageSize))
        n = kPageSize - (address % kPageSize);
    return n;
}

bool IsReadable(DWORD address, DWORD length)
{
    return address <= kAddressLimit && length <= kAddressLimit - address;
}

bool IsWritable(DWORD address, DWORD length)
{
    if (length == 0)
        return false;
    for (const Range& range : kWritableRanges)
        if (address >= range.first && address <= range.last && length - 1 <= range.last - address)
            return true;
    return false;
}

BYTE Checksum(const BYTE* bytes, size_t count)
{
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<BYTE>(0x100 - (sum & 0xFF));
}

std::wstring ReadCommand(DWORD address, DWORD length)
{
    const BYTE header[3] = {static_cast<BYTE>(address >> 8), static_cast<BYTE>(address), static_cast<BYTE>(length)};
    return FormatW(L"%s%04X%02X%02X;", L"ER", static_cast<unsigned>(address & 0xFFFF),
                   static_cast<unsigned>(length & 0xFF), static_cast<unsigned>(Checksum(header, 3)));
}

std::wstring WriteCommand(DWORD address, DWORD length, const BYTE* data)
{
    std::vector<BYTE> bytes = {static_cast<BYTE>(address >> 8), static_cast<BYTE>(address), static_cast<BYTE>(length)};
    std::wstring hex;
    hex.reserve(length * 2);
    for (DWORD i = 0; i < length; ++i) {
        bytes.push_back(data[i]);
        hex += FormatW(L"%02X", static_cast<unsigned>(data[i]));
    }
    return FormatW(L"%s%04X%02X%s%02X;", L"EW", static_cast<unsigned>(address & 0xFFFF),
                   static_cast<unsigned>(length & 0xFF), hex.c_str(),
                   static_cast<unsigned>(Checksum(bytes.data(), bytes.size())));
}

bool ParseReadResponse(const std::wstring& response, const std::wstring& command, DWORD blockLength,
                       BYTE* out)
{
    if (command.size() != kCommandLength || response.size() < kCommandLength)
        return false;
    if (!SameHeader(response, command))
        return false;
    BYTE addressHigh = 0, addressLow = 0, count = 0;
    if (!ParseHexByte(response, 2, addressHigh) || !ParseHexByte(response, 4, addressLow) ||
        !ParseHexByte(response, 6, count))
        return false;
    if (count > kMaxBlockLength || count > blockLength || response.size() != kCommandLength + 2u * count)
        return false;
    unsigned sum = addressHigh + addressLow + count;
    BYTE data[kMaxBlockLength];
    for (unsigned i = 0; i < count; ++i) {
        if (!ParseHexByte(response, kHeaderLength + 2 * i, data[i]))
            return false;
        sum += data[i];
    }
    BYTE checksum = 0;
    if (!ParseHexByte(response, kHeaderLength + 2u * count, checksum))
        return false;
    if (((sum + checksum) & 0xFF) != 0)
        return false;
    // Only a valid answer reaches the buffer: a corrupted one must not leave its bytes
    // behind if the resend never comes.
    std::copy(data, data + count, out);
    return true;
}

bool ParseWriteAcknowledgement(const std::wstring& response, const std::wstring& command)
{
    if (response.size() != kCommandLength || command.size() < kHeaderLength)
        return false;
    if (!SameHeader(response, command))
        return false;
    BYTE bytes[4];
    for (size_t i = 0; i < 4; ++i)
        if (!ParseHexByte(response, 2 + 2 * i, bytes[i]))
            return false;
    return ((bytes[0] + bytes[1] + bytes[2] + bytes[3]) & 0xFF) == 0;
}

}  // namespace EepromBlock
