#include "hex_test_text.h"

#include <cstdio>
#include <fstream>
#include <random>

namespace HexText {

std::string Record(uint8_t type, uint16_t address, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> bytes{uint8_t(data.size()), uint8_t(address >> 8), uint8_t(address & 0xFF), type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (uint8_t b : bytes) sum += b;
    bytes.push_back(uint8_t(0x100 - (sum & 0xFF)));
    std::string text = ":";
    char pair[3];
    for (uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        text += pair;
    }
    return text;
}

std::string Lines(const std::vector<std::string>& lines, const std::string& lineEnd) {
    std::string text;
    for (const std::string& line : lines) text += line + lineEnd;
    return text;
}

std::vector<std::string> DataRows(uint32_t first, const std::vector<uint8_t>& bytes) {
    std::vector<std::string> rows;
    for (size_t i = 0; i < bytes.size(); i += 16) {
        const size_t n = std::min<size_t>(16, bytes.size() - i);
        rows.push_back(Data(uint16_t(first + i), std::vector<uint8_t>(bytes.begin() + i, bytes.begin() + i + n)));
    }
    return rows;
}

}  // namespace HexText

CScratchFolder::CScratchFolder() {
    std::random_device seed;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        m_path = base / ("zr8-firmware-test-" + std::to_string(seed()));
        std::error_code error;
        if (std::filesystem::create_directory(m_path, error)) break;
    }
}

CScratchFolder::~CScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

std::wstring CScratchFolder::Write(const std::string& name, const std::string& content) const {
    const auto path = m_path / name;
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), std::streamsize(content.size()));
    return path.wstring();
}

void CScratchFolder::MakeFolder(const std::string& name) const { std::filesystem::create_directory(m_path / name); }
