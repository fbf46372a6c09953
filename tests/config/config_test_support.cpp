#include "config_test_support.h"

#include <cstdio>

#include "config/config_crc.h"
#include "config/config_file_classes.h"
#include "config/config_file_writer.h"

CBoxRecorder::CBoxRecorder() {
    m_previous = MessageBoxes::SetHandler([this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
        boxes.push_back({text, caption, type});
        if ((type & 0xF) != MB_YESNO) return IDOK;
        if (answers.empty()) return IDNO;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    });
}

CBoxRecorder::~CBoxRecorder() { MessageBoxes::SetHandler(m_previous); }

bool CBoxRecorder::Shows(const std::wstring& textStart) const {
    for (const CRecordedBox& box : boxes)
        if (box.text.compare(0, textStart.size(), textStart) == 0) return true;
    return false;
}

unsigned long Crc32Of(const std::vector<std::string>& lines) {
    CConfigCrc crc;
    for (const std::string& line : lines) crc.AddLine(std::string_view(line));
    return crc.Crc();
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string Sealed(const std::vector<std::string>& lines, const std::vector<std::string>& before) {
    std::vector<std::string> all = before;
    all.insert(all.end(), lines.begin(), lines.end());
    char seal[32];
    std::snprintf(seal, sizeof seal, "CRC32 = 0x%08lX", ~Crc32Of(all) & 0xFFFFFFFFul);
    return Joined(lines) + seal + "\r\n";
}

std::vector<BYTE> PatternImage() {
    std::vector<BYTE> image(0x400);
    for (size_t a = 0; a < image.size(); ++a) image[a] = BYTE((a * 7 + 3) & 0xFF);
    return image;
}

namespace {
// Keeps what would be written instead of putting it on the disk.
class CCapturingFile : public CFileWrite2 {
public:
    CCapturingFile() : CFileWrite2(nullptr, 0) {}
    bool Write(const void* data, DWORD count) override {
        text.append(static_cast<const char*>(data), count);
        return true;
    }
    bool Commit() override {
        Close();
        return true;
    }
    std::string text;
};
}  // namespace

std::string StandardFileText(const std::vector<BYTE>& image, unsigned short serialNumber) {
    CSaveTime time;
    time.year = 2023, time.month = 11, time.day = 9, time.hour = 4, time.minute = 30, time.second = 25;
    CConfigFileHeader header;
    header.utilityVersion = L"Orvandel ZR8 Utility Version 1.23.11.8";
    header.firmwareVersion = L"01.23";
    header.serialNumber = serialNumber;
    CCapturingFile file;
    WriteConfigurationFile(file, L"capture.ZR8Config", time, image.data(), header);
    return file.text;
}
