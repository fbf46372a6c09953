#include "cli/terminal_console.h"

#include <thread>

namespace TerminalConsole {

CStdinReader::CStdinReader() : m_buffer(std::make_shared<CInputBuffer>()) {}

void CStdinReader::Start(HWND window, UINT message) {
    std::thread([buffer = m_buffer, window, message] {
        for (;;) {
            std::string bytes;
            const bool more = ReadStdin(bytes);
            {
                std::lock_guard<std::mutex> lock(buffer->mutex);
                buffer->bytes += bytes;
                if (!more) buffer->ended = true;
            }
            PostMessageW(window, message, 0, 0);
            if (!more) return;
        }
    }).detach();
}

bool CStdinReader::Take(std::string& bytes) {
    std::lock_guard<std::mutex> lock(m_buffer->mutex);
    bytes += m_buffer->bytes;
    m_buffer->bytes.clear();
    return m_buffer->ended;
}

}  // namespace TerminalConsole
