#include "core/text/string_table.h"

std::wstring LoadStringText(UINT id)
{
    // LoadStringW truncates to the buffer: while the text fills the buffer (length at
    // least size - 1) it may have been cut, so double the buffer and load again.
    HINSTANCE module = GetModuleHandleW(nullptr);
    std::wstring buffer(256, L'\0');
    for (;;) {
        int length = LoadStringW(module, id, &buffer[0], static_cast<int>(buffer.size()));
        if (length <= 0)
            return std::wstring();
        if (static_cast<size_t>(length) < buffer.size() - 1) {
            buffer.resize(static_cast<size_t>(length));
            return buffer;
        }
        buffer.assign(buffer.size() * 2, L'\0');
    }
}
