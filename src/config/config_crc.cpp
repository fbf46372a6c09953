#include "config/config_crc.h"

#include <array>

namespace {

const std::array<DWORD, 256>& Table() {
    static const std::array<DWORD, 256> table = [] {
        std::array<DWORD, 256> t{};
        for (DWORD n = 0; n < 256; ++n) {
            DWORD c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

template <class Chars>
DWORD Run(DWORD value, const Chars& chars) {
    const auto& table = Table();
    DWORD r = ~value;
    for (auto c : chars) r = (r >> 8) ^ table[(r ^ static_cast<DWORD>(c)) & 0xFF];
    return ~r;
}

}  // namespace

void CConfigCrc::AddLine(std::string_view bytes) { m_value = Run(m_value, bytes); }
void CConfigCrc::AddLine(std::wstring_view text) { m_value = Run(m_value, text); }
