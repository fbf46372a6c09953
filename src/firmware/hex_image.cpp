#include "firmware/hex_image.h"

#include "firmware/hex_file_reader.h"

void CHexImage::Clear() {
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_size = 0;
    m_low = kLow;
    m_high = kHigh;
    m_fill = kFill;
    m_line = 0;
}

bool CHexImage::Load(const std::wstring& fileName) {
    Clear();
    m_fileName = fileName;
    CHexFileReader reader;
    const DWORD code = reader.Open(fileName);
    if (code != 0) {
        SetLastError(code);
        return false;
    }
    return Build(reader);
}

bool CHexImage::LoadFromMemory(const uint8_t* data, size_t size, const std::wstring& fileName) {
    Clear();
    m_fileName = fileName;
    CHexFileReader reader;
    reader.Attach(data, size);
    return Build(reader);
}

bool CHexImage::Build(CHexFileReader& reader) {
    m_size = m_high - m_low;
    m_buffer.assign(m_size, static_cast<uint8_t>(m_fill & 0xFF));
    reader.Rewind();
    reader.SetDestination(m_low, m_high, m_buffer.data(), m_buffer.data() + m_buffer.size());
    const DWORD code = reader.ReadToEnd();
    m_line = reader.Line();
    reader.Close();
    if (code != 0) {
        m_buffer.clear();
        m_size = 0;
        SetLastError(code);
        return false;
    }
    SetLastError(0);
    return true;
}

uint16_t CHexImage::Checksum() const {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < m_buffer.size(); i += 2) sum += uint32_t(m_buffer[i]) << 8 | m_buffer[i + 1];
    return static_cast<uint16_t>(sum);
}
