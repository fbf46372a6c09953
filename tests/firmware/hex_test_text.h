// Intel HEX text for the tests, written record by record, and a scratch folder that
// is removed with the test.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace HexText {

// ":" count, address, type, data, checksum, in upper case, without a line end.
std::string Record(uint8_t type, uint16_t address, const std::vector<uint8_t>& data);
inline std::string Data(uint16_t address, const std::vector<uint8_t>& data) { return Record(0, address, data); }
inline std::string End() { return ":00000001FF"; }
inline std::string ExtendedSegment(uint16_t segment) {
    return Record(2, 0, {uint8_t(segment >> 8), uint8_t(segment & 0xFF)});
}
inline std::string ExtendedLinear(uint16_t upper) { return Record(4, 0, {uint8_t(upper >> 8), uint8_t(upper & 0xFF)}); }

// Joins the lines, each followed by the line end.
std::string Lines(const std::vector<std::string>& lines, const std::string& lineEnd = "\r\n");

// Records covering [first, first + bytes.size()) in rows of 16.
std::vector<std::string> DataRows(uint32_t first, const std::vector<uint8_t>& bytes);

}  // namespace HexText

class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::wstring WidePath() const { return m_path.wstring(); }
    // Writes the bytes to a file of the folder; returns its full path.
    std::wstring Write(const std::string& name, const std::string& content) const;
    void MakeFolder(const std::string& name) const;

private:
    std::filesystem::path m_path;
};
