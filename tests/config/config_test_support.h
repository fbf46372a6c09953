// What the configuration tests share: a recorder of message boxes that answers them,
// files built line by line with a correct integrity line, and a standard image.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/win_types.h"

struct CRecordedBox {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

// Installed for its lifetime; Yes/No questions take the queued answers (then IDNO).
class CBoxRecorder {
public:
    CBoxRecorder();
    ~CBoxRecorder();
    CBoxRecorder(const CBoxRecorder&) = delete;
    CBoxRecorder& operator=(const CBoxRecorder&) = delete;

    std::vector<CRecordedBox> boxes;
    std::deque<int> answers;

    bool Shows(const std::wstring& textStart) const;

private:
    MessageBoxes::Handler m_previous;
};

// The lines joined by CR LF, then "CRC32 = 0x%08X" over them (and over `before`, the
// lines of an earlier part of the file, already in the text).
std::string Sealed(const std::vector<std::string>& lines, const std::vector<std::string>& before = {});
std::string Joined(const std::vector<std::string>& lines);
unsigned long Crc32Of(const std::vector<std::string>& lines);

// 1024 bytes: (address * 7 + 3) mod 256.
std::vector<BYTE> PatternImage();
// The file the writer makes for the image, as text (time 2023-11-09 04:30:25).
std::string StandardFileText(const std::vector<BYTE>& image, unsigned short serialNumber = 1234);
