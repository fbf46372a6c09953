#include "platform/utf16_bytes.h"

namespace Utf16Bytes {

namespace {
void Put(std::vector<uint8_t>& out, uint32_t unit)
{
    out.push_back(uint8_t(unit & 0xFF));
    out.push_back(uint8_t((unit >> 8) & 0xFF));
}
}  // namespace

std::vector<uint8_t> Encode(const std::wstring& text, bool withTerminator)
{
    std::vector<uint8_t> out;
    out.reserve((text.size() + 1) * 2);
    for (wchar_t w : text) {
        uint32_t c = uint32_t(w);
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            Put(out, 0xD800 + (c >> 10));
            Put(out, 0xDC00 + (c & 0x3FF));
        } else if (c > 0x10FFFF) {
            Put(out, 0xFFFD);
        } else {
            Put(out, c);
        }
    }
    if (withTerminator)
        Put(out, 0);
    return out;
}

bool Decode(const uint8_t* data, size_t size, std::wstring& text, bool strict)
{
    text.clear();
    const size_t units = size / 2;
    bool clean = (size % 2) == 0;
    size_t i = 0;
    for (; i < units; ++i) {
        uint32_t u = uint32_t(data[2 * i]) | (uint32_t(data[2 * i + 1]) << 8);
        if (u == 0)
            break;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            uint32_t low = uint32_t(data[2 * i + 2]) | (uint32_t(data[2 * i + 3]) << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                if (sizeof(wchar_t) == 4) {
                    text += wchar_t(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                } else {
                    text += wchar_t(u);
                    text += wchar_t(low);
                }
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF)
            clean = false;
        text += wchar_t(u);
    }
    // Clean means: the terminator is the last unit and nothing follows it.
    clean = clean && i + 1 == units;
    return !strict || clean;
}

}  // namespace Utf16Bytes
