#include "cli/config_diff.h"

#include "core/text/display_text.h"
#include "core/text/text_ref.h"

std::wstring CConfigImage::Banner() const {
    std::wstring text;
    for (DWORD address = 0x3F0; address < 0x400 && bytes[address] != 0; ++address)
        text.push_back(static_cast<wchar_t>(bytes[address]));
    return EscapeForDisplay(text);
}

std::vector<CDiffRange> DifferingRanges(const CConfigImage& a, const CConfigImage& b) {
    std::vector<CDiffRange> ranges;
    for (DWORD address = 0; address < ConfigFormat::kConfigAreaSize; ++address) {
        if (!a.known[address] || !b.known[address] || a.bytes[address] == b.bytes[address]) continue;
        if (!ranges.empty() && ranges.back().last + 1 == address)
            ranges.back().last = address;
        else
            ranges.push_back({address, address});
    }
    return ranges;
}

std::vector<CDiffRange> ProtectedRanges(const std::vector<CDiffRange>& differing) {
    std::vector<CDiffRange> ranges;
    for (const CDiffRange& range : differing)
        for (DWORD address = range.first; address <= range.last; ++address) {
            if (ConfigFormat::IsRestorable(address)) continue;
            if (!ranges.empty() && ranges.back().last + 1 == address)
                ranges.back().last = address;
            else
                ranges.push_back({address, address});
        }
    return ranges;
}

std::wstring RangeList(const std::vector<CDiffRange>& ranges) {
    std::wstring text;
    for (const CDiffRange& range : ranges) {
        if (!text.empty()) text += L", ";
        text += range.first == range.last ? FormatText(L"0x%03X", unsigned(range.first))
                                          : FormatText(L"0x%03X-0x%03X", unsigned(range.first), unsigned(range.last));
    }
    return text;
}

std::wstring RangeBytes(const CConfigImage& image, const CDiffRange& range) {
    std::wstring text;
    for (DWORD address = range.first; address <= range.last; ++address) {
        if (!text.empty()) text += L' ';
        text += FormatText(L"%02X", unsigned(image.bytes[address]));
    }
    return text;
}
