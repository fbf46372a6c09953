// Feeds arbitrary bytes to the configuration reader. The first byte chooses the radio
// the file is read for (no serial number, serial number 12345, or 12345 in advanced
// mode) and how a question is answered; the rest is the file's contents. Every record
// the reader hands on must be one run inside one page and inside the ranges a restore
// may write, and a file the reader accepts must have given at least one byte.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/config_file_reader.h"
#include "config/config_format.h"
#include "config/restore_records.h"
#include "platform/message_box.h"

namespace {
int g_answer = IDNO;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    MessageBoxes::SetHandler([](HWND, const std::wstring&, const std::wstring&, UINT type) {
        return (type & 0xF) == MB_YESNO ? g_answer : IDOK;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    CRestoreRecords records;
    CConfigReadContext context;
    context.records = &records;
    context.serialNumber = (mode & 3) == 0 ? 0xFFFF : 12345;
    context.advancedMode = (mode & 3) == 2;
    g_answer = (mode & 4) ? IDYES : IDNO;

    const DWORD rc = ReadConfigurationText(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), context);
    for (size_t i = 0; i < records.Count(); ++i) {
        const CRestoreBlockRecord& r = records.At(i);
        if (r.first > r.last) std::abort();
        for (unsigned low = r.first; low <= r.last; ++low)
            if (!ConfigFormat::IsRestorable((DWORD(r.page) << 8) | low)) std::abort();
    }
    if (rc == 0) {
        // Accepted: complete, so it carried memory lines; a mismatch needs a Yes.
        if (context.serialNumberMismatch && (!context.advancedMode || g_answer != IDYES)) std::abort();
    } else if (rc != 0xE2000030u && rc != 0xE2000031u && rc != 0xE2000032u) {
        std::abort();
    }
    return 0;
}
