// CHexFileReader walks the records of an Intel HEX file held in memory (normally a
// read-only mapping of the file). Each ReadRecord call consumes records up to and
// including the next data record or end-of-file record; extended-address and
// start-address records on the way are taken in passing. With a destination set, data
// records inside the address window are copied into it, clipped at its end: whatever
// the file holds, nothing is ever written outside the destination.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/mapped_file.h"
#include "platform/win_types.h"

class CHexFileReader {
public:
    static constexpr size_t kMaxData = 255;

    enum RecordType : uint8_t {
        RecordData = 0,
        RecordEndOfFile = 1,
        RecordExtendedSegment = 2,
        RecordStartSegment = 3,
        RecordExtendedLinear = 4,
        RecordStartLinear = 5,
    };

    CHexFileReader() = default;
    CHexFileReader(const CHexFileReader&) = delete;
    CHexFileReader& operator=(const CHexFileReader&) = delete;

    // Maps the file read-only and rewinds. 0 or the system's error code (last error too).
    DWORD Open(const std::wstring& path);
    // Reads bytes the caller keeps alive (tests, fuzzing). Rewinds.
    void Attach(const uint8_t* data, size_t size);
    void Close();

    // Back to the first byte: line counter 0, base 0, end-of-file not seen.
    void Rewind();
    // Data records with window low <= absolute address < window high go to
    // destination + (address - low), clipped at destination end.
    void SetDestination(uint32_t windowLow, uint32_t windowHigh, uint8_t* begin, uint8_t* end);
    void ClearDestination();

    // 0 after a data record or the end-of-file record, else the error code, which is
    // also the thread's last error.
    DWORD ReadRecord();
    // Records until the end-of-file record; 0xE2000023 when the data end first.
    DWORD ReadToEnd();

    bool EndOfFileSeen() const { return m_endOfFileSeen; }
    // The physical line (1-based) of the last character read; 0 before reading.
    unsigned Line() const { return m_line; }
    uint8_t Count() const { return m_count; }
    uint16_t Address() const { return m_address; }
    uint8_t Type() const { return m_type; }
    const uint8_t* Data() const { return m_data; }
    uint32_t Base() const { return m_base; }

private:
    bool NextChar(uint8_t& c);
    DWORD FindRecordStart();
    DWORD ReadByte(uint8_t& value);
    DWORD ReadRecordBody();
    void StoreData();

    CMappedFile m_file;
    const uint8_t* m_begin = nullptr;
    const uint8_t* m_cursor = nullptr;
    const uint8_t* m_end = nullptr;

    unsigned m_line = 0;
    bool m_atLineStart = true;
    size_t m_column = 0;
    uint8_t m_count = 0;
    uint16_t m_address = 0;
    uint8_t m_type = 0;
    uint8_t m_data[kMaxData] = {};
    uint8_t m_runningSum = 0;
    uint32_t m_base = 0;
    bool m_endOfFileSeen = false;

    uint32_t m_windowLow = 0;
    uint32_t m_windowHigh = 0;
    uint8_t* m_destBegin = nullptr;
    uint8_t* m_destEnd = nullptr;
};

// True when the file parses as Intel HEX up to an end-of-file record: syntax,
// per-record checksums and the end record, not the addresses. On false the last error
// holds the reader's or the system's code.
bool VerifyHexFile(const std::wstring& path);
