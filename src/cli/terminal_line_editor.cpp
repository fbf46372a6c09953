#include "cli/terminal_line_editor.h"

namespace {
constexpr char kEscape = 0x1B;
constexpr char kCtrlD = 0x04;
constexpr char kCtrlU = 0x15;
constexpr char kCtrlZ = 0x1A;
constexpr char kBackspace = 0x08;
constexpr char kDelete = 0x7F;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

std::vector<CLineEditor::Event> CLineEditor::Feed(const std::string& bytes) {
    std::vector<Event> events;
    auto changed = [&] {
        if (events.empty() || events.back().kind != Kind::Changed) events.push_back({Kind::Changed, std::string()});
    };
    for (char c : bytes) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (m_escape == Escape::Start) {
            // ESC [ and ESC O open a sequence; ESC with anything else is a lone Escape.
            m_escape = (c == '[' || c == 'O') ? Escape::Sequence : Escape::None;
            continue;
        }
        if (m_escape == Escape::Sequence) {
            if (u >= 0x40 && u <= 0x7E) m_escape = Escape::None;  // the final byte
            continue;
        }
        switch (c) {
        case kEscape:
            m_escape = Escape::Start;
            continue;
        case '\r':
        case '\n':
            events.push_back({Kind::Send, m_line});
            m_line.clear();
            continue;
        case kBackspace:
        case kDelete:
            if (m_line.empty()) continue;
            while (m_line.size() > 1 && IsContinuationByte(m_line.back())) m_line.pop_back();
            m_line.pop_back();
            changed();
            continue;
        case kCtrlU:
            if (m_line.empty()) continue;
            m_line.clear();
            changed();
            continue;
        case kCtrlD:
        case kCtrlZ:
            if (m_line.empty()) {
                events.push_back({Kind::End, std::string()});
                return events;
            }
            continue;
        default:
            break;
        }
        if (u < 0x20) continue;  // other control keys
        m_line.push_back(c);
        if (c == ';' && !IsTerminalCommand(m_line)) {
            events.push_back({Kind::Send, m_line});
            m_line.clear();
        } else {
            changed();
        }
    }
    return events;
}
