#include "firmware/hex_file_reader.h"

#include <cstring>

#include "core/text/error_codes.h"

namespace {

DWORD Fail(DWORD code) {
    SetLastError(code);
    return code;
}

int HexValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

DWORD CHexFileReader::Open(const std::wstring& path) {
    Close();
    const DWORD code = m_file.Open(path);
    if (code != 0) return Fail(code);
    m_begin = m_file.Data();
    m_end = m_begin + m_file.Size();
    Rewind();
    return 0;
}

void CHexFileReader::Attach(const uint8_t* data, size_t size) {
    Close();
    m_begin = data;
    m_end = data ? data + size : data;
    Rewind();
}

void CHexFileReader::Close() {
    m_file.Close();
    m_begin = m_cursor = m_end = nullptr;
    Rewind();
}

void CHexFileReader::Rewind() {
    m_cursor = m_begin;
    m_line = 0;
    m_atLineStart = true;
    m_column = 0;
    m_count = 0;
    m_address = 0;
    m_type = 0;
    m_runningSum = 0;
    m_base = 0;
    m_endOfFileSeen = false;
}

void CHexFileReader::SetDestination(uint32_t windowLow, uint32_t windowHigh, uint8_t* begin, uint8_t* end) {
    m_windowLow = windowLow;
    m_windowHigh = windowHigh;
    m_destBegin = begin;
    m_destEnd = end;
}

void CHexFileReader::ClearDestination() {
    m_windowLow = m_windowHigh = 0;
    m_destBegin = m_destEnd = nullptr;
}

bool CHexFileReader::NextChar(uint8_t& c) {
    if (m_cursor == m_end) return false;
    c = *m_cursor++;
    if (m_atLineStart) {
        ++m_line;
        m_atLineStart = false;
    }
    if (c == '\n') m_atLineStart = true;
    return true;
}

DWORD CHexFileReader::FindRecordStart() {
    uint8_t c = 0;
    while (NextChar(c)) {
        if (c == '\n' || c == '\r') {
            m_column = 0;
            continue;
        }
        ++m_column;
        if (c == ':' && m_column == 1) return 0;
    }
    return Fail(Zr8Error::HexNoEndRecord);
}

DWORD CHexFileReader::ReadByte(uint8_t& value) {
    int digits[2];
    for (int& digit : digits) {
        uint8_t c = 0;
        do {
            // The end of the data inside a record, even between two pairs, cuts it short.
            if (!NextChar(c)) return Fail(Zr8Error::UnexpectedHexCharacter);
            if (c == '\n' || c == '\r') m_column = 0;
        } while (c == '\n' || c == '\r');
        ++m_column;
        digit = HexValue(c);
        if (digit < 0) return Fail(Zr8Error::UnexpectedHexCharacter);
    }
    value = static_cast<uint8_t>(digits[0] * 16 + digits[1]);
    m_runningSum = static_cast<uint8_t>(m_runningSum + value);
    return 0;
}

DWORD CHexFileReader::ReadRecordBody() {
    m_runningSum = 0;
    uint8_t high = 0, low = 0, checksum = 0;
    DWORD code = ReadByte(m_count);
    if (code == 0) code = ReadByte(high);
    if (code == 0) code = ReadByte(low);
    if (code == 0) code = ReadByte(m_type);
    for (unsigned i = 0; code == 0 && i < m_count; ++i) code = ReadByte(m_data[i]);
    if (code == 0) code = ReadByte(checksum);
    if (code != 0) return code;
    m_address = static_cast<uint16_t>(high << 8 | low);
    if (m_runningSum != 0) return Fail(Zr8Error::HexLineChecksum);
    if (m_type > RecordStartLinear) return Fail(Zr8Error::HexRecordType);
    return 0;
}

void CHexFileReader::StoreData() {
    if (!m_destBegin || m_destEnd <= m_destBegin) return;
    const uint64_t absolute = uint64_t(m_base) + m_address;
    // A record that starts below the window is dropped whole, even if it runs into it.
    if (absolute < m_windowLow || absolute >= m_windowHigh) return;
    const uint64_t offset = absolute - m_windowLow;
    const uint64_t room = uint64_t(m_destEnd - m_destBegin);
    if (offset >= room) return;
    const uint64_t n = m_count < room - offset ? m_count : room - offset;
    std::memcpy(m_destBegin + offset, m_data, static_cast<size_t>(n));
}

DWORD CHexFileReader::ReadRecord() {
    SetLastError(0);
    m_column = 0;
    for (;;) {
        DWORD code = FindRecordStart();
        if (code == 0) code = ReadRecordBody();
        if (code != 0) return code;
        switch (m_type) {
        case RecordData:
            StoreData();
            return 0;
        case RecordEndOfFile:
            m_endOfFileSeen = true;
            return 0;
        case RecordExtendedSegment:
        case RecordExtendedLinear:
            // The base is the first two data bytes; a shorter record would leave it to
            // whatever an earlier record left in the data buffer.
            if (m_count < 2) return Fail(Zr8Error::HexRecordLength);
            m_base = uint32_t(m_data[0] << 8 | m_data[1]) << (m_type == RecordExtendedSegment ? 4 : 16);
            break;
        default:  // start addresses mean nothing to the radio's boot loader
            break;
        }
    }
}

DWORD CHexFileReader::ReadToEnd() {
    while (!m_endOfFileSeen) {
        const DWORD code = ReadRecord();
        if (code != 0) return code;
    }
    SetLastError(0);
    return 0;
}

bool VerifyHexFile(const std::wstring& path) {
    CHexFileReader reader;
    if (reader.Open(path) != 0) return false;
    reader.ClearDestination();
    return reader.ReadToEnd() == 0;
}
