#include "sim/firmware_gen.h"

#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

constexpr uint32_t kLow = 0x0800;
constexpr uint32_t kHigh = 0x10000;
constexpr uint32_t kWordAt = 0x0804 - kLow;
constexpr uint32_t kTagAt = 0x0810 - kLow;
const char kTagPrefix[] = "ZR8 MCU firmware ";

void AppendRecord(std::string& out, uint8_t type, uint16_t address, const uint8_t* data, size_t count,
                  const char* eol) {
    char buf[8];
    uint8_t sum = static_cast<uint8_t>(count + (address >> 8) + (address & 0xFF) + type);
    std::snprintf(buf, sizeof buf, ":%02X", static_cast<unsigned>(count));
    out += buf;
    std::snprintf(buf, sizeof buf, "%04X%02X", static_cast<unsigned>(address), static_cast<unsigned>(type));
    out += buf;
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", data[i]);
        out += buf;
        sum = static_cast<uint8_t>(sum + data[i]);
    }
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(static_cast<uint8_t>(0x100 - sum)));
    out += buf;
    out += eol;
}

void AppendLinearBase(std::string& out, uint16_t upper, const char* eol) {
    const uint8_t data[2] = {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper & 0xFF)};
    AppendRecord(out, 0x04, 0, data, 2, eol);
}

}  // namespace

std::string FirmwareFileName(uint16_t version) {
    char name[32];
    std::snprintf(name, sizeof name, "zr8_%04u.hex", static_cast<unsigned>(version));
    return name;
}

uint16_t ImageChecksum(const std::vector<uint8_t>& image) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < image.size(); i += 2) sum += (uint32_t(image[i]) << 8) | image[i + 1];
    return static_cast<uint16_t>(sum);
}

int FindFirmwareVersionTag(const std::vector<uint8_t>& image) {
    const size_t prefix = sizeof kTagPrefix - 1;
    if (image.size() < kTagAt + prefix + 4) return -1;
    if (std::memcmp(&image[kTagAt], kTagPrefix, prefix) != 0) return -1;
    int version = 0;
    for (size_t i = 0; i < 4; ++i) {
        const uint8_t c = image[kTagAt + prefix + i];
        if (c < '0' || c > '9') return -1;
        version = version * 10 + (c - '0');
    }
    return version;
}

std::vector<uint8_t> MakeFirmwareImage(const CFirmwareGenOptions& options) {
    std::vector<uint8_t> image(kHigh - kLow, 0xFF);
    const uint32_t end = options.codeEnd < kLow ? kLow : (options.codeEnd > kHigh ? kHigh : options.codeEnd);
    uint32_t state = 0x2545F491u ^ options.version;
    for (uint32_t a = kLow; a < end; ++a) {
        state = state * 1664525u + 1013904223u;
        image[a - kLow] = static_cast<uint8_t>(state >> 24);
    }
    image[kWordAt] = image[kWordAt + 1] = 0;
    char tag[32];
    std::snprintf(tag, sizeof tag, "%s%04u", kTagPrefix, static_cast<unsigned>(options.version % 10000));
    std::memcpy(&image[kTagAt], tag, std::strlen(tag));

    // A word of zero means "no word" to the program, so keep the sums away from the cases
    // that would make the chosen variant ambiguous.
    uint16_t sum = ImageChecksum(image);
    if (sum == 0) {
        image[kTagAt - 1] ^= 0x01;  // inside the code, just before the tag
        sum = ImageChecksum(image);
    }
    if (options.reconciliationWord) {
        uint16_t word = static_cast<uint16_t>(0x10000 - sum);
        if (options.wrongReconciliationWord) word = static_cast<uint16_t>(word ^ 0x0101);
        image[kWordAt] = static_cast<uint8_t>(word >> 8);
        image[kWordAt + 1] = static_cast<uint8_t>(word & 0xFF);
    }
    return image;
}

std::string MakeFirmwareHex(const CFirmwareGenOptions& options) {
    const std::vector<uint8_t> image = MakeFirmwareImage(options);
    const char* eol = options.crlf ? "\r\n" : "\n";
    const uint8_t length = options.recordLength ? options.recordLength : 16;
    std::string out;
    if (options.extendedAddress) AppendLinearBase(out, 0x0000, eol);
    if (options.recordBelowImage) {
        const uint8_t jump[4] = {0xEF, 0x04, 0xF0, 0x00};  // the boot loader's own reset vector
        AppendRecord(out, 0x00, 0x0000, jump, sizeof jump, eol);
    }
    for (uint32_t a = kLow; a < kHigh; a += length) {
        const uint32_t n = (kHigh - a) < length ? kHigh - a : length;
        bool erased = true;
        for (uint32_t i = 0; i < n; ++i)
            if (image[a - kLow + i] != 0xFF) erased = false;
        if (!erased) AppendRecord(out, 0x00, static_cast<uint16_t>(a), &image[a - kLow], n, eol);
    }
    if (options.extendedAddress) {
        // Configuration bytes, as real MCU files carry them: outside the program range.
        const uint8_t config[8] = {0x00, 0x22, 0x1E, 0x1E, 0x00, 0x81, 0x81, 0x00};
        AppendLinearBase(out, 0x0030, eol);
        AppendRecord(out, 0x00, 0x0000, config, sizeof config, eol);
    }
    AppendRecord(out, 0x01, 0x0000, nullptr, 0, eol);
    return out;
}

bool WriteFirmwareFile(const std::string& path, const CFirmwareGenOptions& options, std::string& error) {
    const std::string text = MakeFirmwareHex(options);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
