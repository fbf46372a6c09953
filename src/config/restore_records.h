// The byte runs a restore writes back, in file order. The reader hands every byte of the
// file to StoreRestoreByte; bytes outside the restorable ranges are dropped there, and
// a new record starts wherever an address does not continue the current run, so a byte
// that stands twice in a file is sent twice.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/win_types.h"

// One run of consecutive addresses within one 256-byte page: first <= last.
struct CRestoreBlockRecord {
    BYTE page;
    BYTE first;
    BYTE last;
    BYTE data[256];  // indexed by the low address byte; 0xFF where the run has nothing

    DWORD StartAddress() const { return (DWORD(page) << 8) | first; }
    DWORD Length() const { return DWORD(last) - first + 1; }
};

class CRestoreRecords {
public:
    void StoreRestoreByte(DWORD address, BYTE value);
    void Clear();

    size_t Count() const { return m_records.size(); }
    const CRestoreBlockRecord& At(size_t index) const { return *m_records[index]; }
    CRestoreBlockRecord& At(size_t index) { return *m_records[index]; }
    // The sum of the runs' lengths: what the restore writes, and its progress total.
    DWORD TotalBytes() const;

private:
    std::vector<std::unique_ptr<CRestoreBlockRecord>> m_records;
    CRestoreBlockRecord* m_current = nullptr;
};
