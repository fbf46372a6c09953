#include "cli/port_list.h"

#include <algorithm>

namespace {
wchar_t FoldAsciiCase(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
}  // namespace

bool NaturalLess(const std::wstring& a, const std::wstring& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            size_t ei = i, ej = j;
            while (ei < a.size() && IsDigit(a[ei])) ++ei;
            while (ej < b.size() && IsDigit(b[ej])) ++ej;
            std::wstring na = a.substr(i, ei - i), nb = b.substr(j, ej - j);
            na.erase(0, std::min(na.find_first_not_of(L'0'), na.size()));
            nb.erase(0, std::min(nb.find_first_not_of(L'0'), nb.size()));
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            i = ei;
            j = ej;
            continue;
        }
        const wchar_t ca = FoldAsciiCase(a[i]), cb = FoldAsciiCase(b[j]);
        if (ca != cb) return ca < cb;
        ++i;
        ++j;
    }
    return (a.size() - i) < (b.size() - j);
}
