#include "config/config_file_writer.h"

#include <algorithm>

#include "config/config_crc.h"
#include "config/config_file_classes.h"
#include "config/config_format.h"
#include "core/model/model_base.h"
#include "core/model/radio_types.h"
#include "core/text/hex_text.h"
#include "core/text/string_table.h"
#include "core/text/version_info.h"
#include "platform/code_pages.h"
#include "platform/wide_format.h"

CConfigFileHeader CConfigFileHeader::FromModel(const CModelBase& model) {
    CConfigFileHeader header;
    header.utilityVersion = GetProductTitle();
    header.firmwareVersion = model.FirmwareVersionText();
    header.serialNumber = model.m_serialNumber.Get();
    return header;
}

bool WriteConfigurationFile(HWND owner, const std::wstring& path, const CSaveTime& time, const BYTE* image,
                            const CConfigFileHeader& header) {
    CFileWrite2 file(owner, IDS_CAPTION_CONFIG_WRITE_ERROR);
    return WriteConfigurationFile(file, path, time, image, header);
}

bool WriteConfigurationFile(CFileWrite2& file, const std::wstring& path, const CSaveTime& time,
                            const BYTE* image, const CConfigFileHeader& header) {
    if (!file.Open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL)) return false;

    CConfigCrc crc;
    // The integrity value covers the bytes as they stand in the file.
    auto line = [&](const std::wstring& text) {
        crc.AddLine(CodePages::ToAnsi(text));
        return file.WriteLine(text);
    };
    auto fail = [&] {
        const DWORD code = GetLastError();
        file.Close();
        SetLastError(code);
        return false;
    };

    if (!line(FormatW(LoadStringText(IDS_CONFIG_SAVED_ON).c_str(), unsigned(time.year), unsigned(time.month),
                      unsigned(time.day), unsigned(time.hour), unsigned(time.minute), unsigned(time.second))) ||
        !line(LoadStringText(IDS_CONFIG_DO_NOT_EDIT)) ||
        !line(FormatW(LoadStringText(IDS_CONFIG_USE_FRONT_PANEL).c_str(), kModelName)) ||
        !line(FormatW(L"%s = %s", ConfigFormat::UtilityVersionKey().c_str(), header.utilityVersion.c_str())) ||
        !line(FormatW(L"%s = %s", ConfigFormat::FirmwareVersionKey().c_str(), header.firmwareVersion.c_str())))
        return fail();
    if (header.serialNumber != kSerialNumberNone &&
        !line(FormatW(L"%s = %05u", ConfigFormat::SerialNumberKey().c_str(), unsigned(header.serialNumber))))
        return fail();

    for (const ConfigFormat::CRange& range : ConfigFormat::kReadRanges) {
        for (DWORD offset = range.start; offset < range.End(); offset += ConfigFormat::kBytesPerLine) {
            const DWORD n = std::min(ConfigFormat::kBytesPerLine, range.End() - offset);
            if (!line(FormatW(L"%s %02X %02X %02X %s", ConfigFormat::kMemoryKeyword, unsigned(offset >> 8),
                              unsigned(offset & 0xFF), unsigned(n), BytesToHex(image + offset, n).c_str())))
                return fail();
        }
    }

    if (!file.WriteLine(FormatW(L"%s = 0x%08X", ConfigFormat::kIntegrityKeyword, unsigned(crc.IntegrityValue()))))
        return fail();
    return file.Commit();
}
