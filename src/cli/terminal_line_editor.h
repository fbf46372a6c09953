// The typing side of zr8 terminal on a terminal in raw mode: keys come in as bytes and
// become edits of the pending line, sends and the end. Enter sends the whole line as it
// stands (nothing added, an empty line sends nothing); a typed ";" sends the line at
// once, with the semicolon, as on the Command Tester page, except on a line of the
// terminal's own ("!5", a macro), which waits for Enter. Backspace takes back one
// character (a whole UTF-8 sequence), Ctrl-U the whole line; Ctrl-D (or Ctrl-Z) on an
// empty line ends the session. Escape sequences (arrow and function keys) are ignored.
#pragma once

#include <string>
#include <vector>

class CLineEditor {
public:
    enum class Kind { Changed, Send, End };
    struct Event {
        Kind kind;
        std::string text;  // Send: the line
    };

    std::vector<Event> Feed(const std::string& bytes);
    const std::string& Line() const { return m_line; }

    // A line of the terminal's own: "!" first.
    static bool IsTerminalCommand(const std::string& line) { return !line.empty() && line[0] == '!'; }

private:
    enum class Escape { None, Start, Sequence };
    std::string m_line;
    Escape m_escape = Escape::None;
};
