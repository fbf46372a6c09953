#include "config/restore_records.h"

#include <cstring>

#include "config/config_format.h"

void CRestoreRecords::StoreRestoreByte(DWORD address, BYTE value) {
    if (!ConfigFormat::IsRestorable(address)) return;
    const BYTE page = static_cast<BYTE>(address >> 8);
    const BYTE low = static_cast<BYTE>(address & 0xFF);
    if (m_current && m_current->page == page && m_current->last < 255 && low == m_current->last + 1) {
        m_current->data[low] = value;
        m_current->last = low;
        return;
    }
    auto record = std::make_unique<CRestoreBlockRecord>();
    record->page = page;
    record->first = record->last = low;
    std::memset(record->data, 0xFF, sizeof record->data);
    record->data[low] = value;
    m_current = record.get();
    m_records.push_back(std::move(record));
}

void CRestoreRecords::Clear() {
    m_records.clear();
    m_current = nullptr;
}

DWORD CRestoreRecords::TotalBytes() const {
    DWORD total = 0;
    for (const auto& record : m_records) total += record->Length();
    return total;
}
