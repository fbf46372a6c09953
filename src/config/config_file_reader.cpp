#include "config/config_file_reader.h"

#include "config/config_file_classes.h"
#include "config/config_format.h"
#include "config/config_line_parser.h"
#include "config/restore_records.h"
#include "core/text/error_codes.h"
#include "core/text/report.h"

namespace {

// A positive Windows code as an HRESULT (0x8007xxxx); other codes as they are.
DWORD AsErrorCode(DWORD code) {
    if (code == 0 || IsNegative(code)) return code;
    return 0x80070000u | (code & 0xFFFF);
}

DWORD Refuse(HWND owner, UINT text, DWORD code) {
    ShowError(owner, IDS_CAPTION_RESTORE_ERROR, text);
    return code;
}

DWORD RefuseLine(HWND owner, const std::wstring& line) {
    ShowError(owner, IDS_CAPTION_RESTORE_ERROR, IDS_CONFIG_UNABLE_TO_PARSE_LINE, line.c_str());
    return Zr8Error::ConfigCorrupt;
}

}  // namespace

DWORD CConfigFileReader::AddChar(wchar_t c) {
    if (c == L'\r') return 0;
    if (c != L'\n') {
        m_line.push_back(c);
        return 0;
    }
    const std::wstring line = std::move(m_line);
    m_line.clear();
    return ProcessLine(line);
}

DWORD CConfigFileReader::ProcessLine(const std::wstring& line) {
    if (ConfigLine::StartsWith(line, ConfigFormat::kIntegrityKeyword)) {
        // Checked against every line before it, from the start of the file.
        DWORD value = 0;
        if (!ConfigLine::ParseIntegrity(line, value) || value != m_crc.IntegrityValue())
            return Refuse(m_context.owner, IDS_CONFIG_FILE_ALTERED, Zr8Error::ConfigCorrupt);
        m_memoryNotCovered = false;
        return 0;
    }

    m_crc.AddLine(line);
    if (ConfigLine::StartsWith(line, ConfigFormat::kMemoryKeyword)) {
        ConfigLine::CMemoryLine memory;
        if (!ConfigLine::ParseMemory(line, memory)) return RefuseLine(m_context.owner, line);
        StoreBytes(memory.address, memory.bytes.data(), memory.bytes.size());
        return 0;
    }
    if (ConfigLine::StartsWith(line, L"MEM")) {
        DWORD address = 0;
        BYTE value = 0;
        if (!ConfigLine::ParseDecimalMemory(line, address, value)) return RefuseLine(m_context.owner, line);
        StoreBytes(address, &value, 1);
        return 0;
    }
    if (ConfigLine::StartsWith(line, ConfigFormat::SerialNumberKey())) return CheckSerialNumber(line);
    return 0;
}

void CConfigFileReader::StoreBytes(DWORD address, const BYTE* bytes, size_t count) {
    if (m_context.records)
        for (size_t i = 0; i < count; ++i) m_context.records->StoreRestoreByte(address + DWORD(i), bytes[i]);
    if (m_context.everyByte)
        for (size_t i = 0; i < count; ++i) m_context.everyByte(address + DWORD(i), bytes[i]);
    m_memorySeen = true;
    m_memoryNotCovered = true;
}

DWORD CConfigFileReader::CheckSerialNumber(const std::wstring& line) {
    const std::wstring key = ConfigFormat::SerialNumberKey();
    unsigned short fromFile = 0;
    const bool parsed = ConfigLine::ParseSerialNumber(line, key, fromFile);
    if (parsed) m_context.serialNumberInFile = fromFile;
    if (m_context.serialNumber == 0xFFFF) return 0;
    if (!parsed) {
        ShowError(m_context.owner, IDS_CAPTION_RESTORE_ERROR, IDS_CONFIG_UNABLE_TO_PARSE_SERIAL, key.c_str(),
                  line.c_str());
        return Zr8Error::ConfigCorrupt;
    }
    if (fromFile == m_context.serialNumber) return 0;
    if (!m_context.advancedMode) {
        ShowMessage(m_context.owner, MB_ICONERROR, IDS_CONFIG_SERIAL_MISMATCH, IDS_CAPTION_SERIAL_MISMATCH);
        return Zr8Error::ConfigSerialMismatch;
    }
    const int answer = ShowMessage(m_context.owner, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2,
                                   IDS_CONFIG_SERIAL_MISMATCH_ADVANCED, IDS_CAPTION_SERIAL_MISMATCH);
    if (answer != IDYES) return Zr8Error::ConfigSerialMismatch;
    m_context.serialNumberMismatch = true;
    return 0;
}

DWORD CConfigFileReader::Finish() {
    if (!m_memorySeen || m_memoryNotCovered)
        return Refuse(m_context.owner, IDS_CONFIG_FILE_INCOMPLETE, Zr8Error::ConfigIncomplete);
    return 0;
}

DWORD ReadConfigurationText(std::string_view contents, CConfigReadContext& context) {
    CConfigFileReader reader(context);
    for (char byte : contents) {
        const DWORD rc = reader.AddChar(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
        if (rc != 0) return rc;
    }
    return reader.Finish();
}

DWORD ReadConfigurationFile(const std::wstring& path, CConfigReadContext& context) {
    CFileRead3 file(context.owner, IDS_CAPTION_CONFIG_READ_ERROR);
    if (!file.Load(path)) {
        const DWORD code = GetLastError();
        return code != 0 ? code : DWORD(ERROR_READ_FAULT);
    }
    CConfigFileReader reader(context);
    wchar_t c = 0;
    DWORD readError = 0;
    while (file.NextChar(c, readError)) {
        const DWORD rc = reader.AddChar(c);
        if (rc != 0) return rc;
    }
    if (readError != 0) return AsErrorCode(readError);
    return reader.Finish();
}
