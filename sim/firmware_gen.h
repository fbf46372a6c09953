// Synthetic MCU firmware for tests and demonstrations: an image of 0x0800-0xFFFF whose
// 16-bit big-endian words sum to zero (through the reconciliation word at 0x0804-0x0805,
// high byte first), written as an Intel HEX file named like the maker's ("zr8_0124.hex").
// The image carries a tag naming its version, "ZR8 MCU firmware 0124" at 0x0810, which the
// simulated boot loader reads to know what it is running after a load.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CFirmwareGenOptions {
    uint16_t version = 124;
    // The file supplies the reconciliation word; without it 0x0804-0x0805 hold zero and the
    // program has to compute the word itself.
    bool reconciliationWord = true;
    // The word is present but does not make the image sum to zero (a corrupt file).
    bool wrongReconciliationWord = false;
    bool crlf = true;                  // CR LF line ends, else LF
    bool extendedAddress = true;       // type 04 records, and configuration bytes at 0x300000
    bool recordBelowImage = false;     // a data record at 0x0000, below the image window
    uint32_t codeEnd = 0x8000;         // bytes from 0x0800 up to here are code; the rest stays 0xFF
    uint8_t recordLength = 16;         // data bytes per record
};

std::string FirmwareFileName(uint16_t version);                   // "zr8_0124.hex"
std::vector<uint8_t> MakeFirmwareImage(const CFirmwareGenOptions& options);  // 63488 bytes, [0] = 0x0800
std::string MakeFirmwareHex(const CFirmwareGenOptions& options);
bool WriteFirmwareFile(const std::string& path, const CFirmwareGenOptions& options, std::string& error);

uint16_t ImageChecksum(const std::vector<uint8_t>& image);  // sum of the big-endian words
int FindFirmwareVersionTag(const std::vector<uint8_t>& image);  // -1 when there is none
