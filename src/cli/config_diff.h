// Two configurations side by side (two files, or a file and the radio's EEPROM): the
// runs of differing bytes, which of them a restore would not write, the banners and the
// serial numbers.
#pragma once

#include <string>
#include <vector>

#include "config/config_format.h"
#include "platform/win_types.h"

// One side: the configuration area's bytes as far as they are known, and its serial
// number (-1: none).
struct CConfigImage {
    BYTE bytes[ConfigFormat::kConfigAreaSize] = {};
    bool known[ConfigFormat::kConfigAreaSize] = {};
    int serialNumber = -1;
    void Set(DWORD address, BYTE value) {
        if (address < ConfigFormat::kConfigAreaSize) {
            bytes[address] = value;
            known[address] = true;
        }
    }
    // The power-on banner (0x3F0-0x3FF) up to its first zero byte, as the radio shows it.
    std::wstring Banner() const;
};

struct CDiffRange {
    DWORD first;
    DWORD last;
};

// The runs of consecutive addresses whose bytes differ, known on both sides.
std::vector<CDiffRange> DifferingRanges(const CConfigImage& a, const CConfigImage& b);
// Of those, the runs a restore would not write (outside the restorable ranges).
std::vector<CDiffRange> ProtectedRanges(const std::vector<CDiffRange>& differing);
// "0x0C0-0x0C1, 0x0FB"
std::wstring RangeList(const std::vector<CDiffRange>& ranges);
// "41 42 43": the bytes of one side over the range.
std::wstring RangeBytes(const CConfigImage& image, const CDiffRange& range);
