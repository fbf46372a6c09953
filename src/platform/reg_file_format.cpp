#include "platform/reg_file_format.h"

#include <cstdio>

#include "platform/code_pages.h"
#include "platform/settings_store.h"
#include "platform/utf16_bytes.h"

namespace RegFileFormat {

namespace {

constexpr DWORD kRegBinary = 3;

std::wstring RootSection()
{
    return std::wstring(L"HKEY_CURRENT_USER\\") + kAppKeyPath;
}

std::string Escape(const std::wstring& text)
{
    std::string out;
    for (char c : CodePages::ToUtf8(text)) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out;
}

std::string Hex(const std::vector<uint8_t>& data)
{
    std::string out;
    char byte[4];
    for (size_t i = 0; i < data.size(); ++i) {
        std::snprintf(byte, sizeof byte, i == 0 ? "%02x" : ",%02x", data[i]);
        out += byte;
    }
    return out;
}

std::string ValueLine(const CRegistryTree::Value& value)
{
    std::string line = value.name.empty() ? "@" : "\"" + Escape(value.name) + "\"";
    line += '=';
    std::wstring text;
    if (value.type == kRegSz && Utf16Bytes::Decode(value.data.data(), value.data.size(), text, true) &&
        text.find_first_of(L"\r\n") == std::wstring::npos) {
        return line + "\"" + Escape(text) + "\"";
    }
    if (value.type == kRegDword && value.data.size() == 4) {
        char dword[16];
        std::snprintf(dword, sizeof dword, "dword:%08x",
                      unsigned(value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                               (unsigned(value.data[3]) << 24)));
        return line + dword;
    }
    char prefix[24];
    if (value.type == kRegBinary)
        std::snprintf(prefix, sizeof prefix, "hex:");
    else
        std::snprintf(prefix, sizeof prefix, "hex(%x):", unsigned(value.type));
    return line + prefix + Hex(value.data);
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() && CRegistryTree::SameName(text.substr(0, prefix.size()), prefix);
}

// Reads a quoted string starting at text[pos] == '"'; pos ends past the closing quote.
bool ReadQuoted(const std::string& text, size_t& pos, std::string& out)
{
    if (pos >= text.size() || text[pos] != '"')
        return false;
    out.clear();
    for (++pos; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\' && pos + 1 < text.size())
            c = text[++pos];
        out += c;
    }
    return false;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ReadHexNumber(const std::string& text, DWORD& value)
{
    if (text.empty() || text.size() > 8)
        return false;
    value = 0;
    for (char c : text) {
        int d = HexDigit(c);
        if (d < 0)
            return false;
        value = (value << 4) | DWORD(d);
    }
    return true;
}

bool ReadHexBytes(const std::string& text, std::vector<uint8_t>& data)
{
    data.clear();
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        if (pos == text.size())
            break;
        if (pos + 1 >= text.size())
            return false;
        const int hi = HexDigit(text[pos]), lo = HexDigit(text[pos + 1]);
        if (hi < 0 || lo < 0)
            return false;
        data.push_back(uint8_t(hi * 16 + lo));
        pos += 2;
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        if (pos < text.size()) {
            if (text[pos] != ',')
                return false;
            ++pos;
        }
    }
    return true;
}

// One value line: "name"=data or @=data. False for a line we cannot read.
bool ParseValue(const std::string& line, CRegistryTree& tree, const std::wstring& key)
{
    size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
        pos = 1;
    } else if (!ReadQuoted(line, pos, name)) {
        return false;
    }
    if (pos >= line.size() || line[pos] != '=')
        return false;
    const std::string data = line.substr(pos + 1);
    const std::wstring wideName = CodePages::FromUtf8(name);
    if (!data.empty() && data[0] == '"') {
        size_t p = 0;
        std::string text;
        if (!ReadQuoted(data, p, text))
            return false;
        tree.Set(key, wideName, kRegSz, Utf16Bytes::Encode(CodePages::FromUtf8(text), true));
        return true;
    }
    if (data.compare(0, 6, "dword:") == 0) {
        DWORD value;
        if (!ReadHexNumber(data.substr(6), value))
            return false;
        tree.Set(key, wideName, kRegDword,
                 {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)});
        return true;
    }
    DWORD type = kRegBinary;
    size_t bytesAt;
    if (data.compare(0, 4, "hex:") == 0) {
        bytesAt = 4;
    } else if (data.compare(0, 4, "hex(") == 0) {
        size_t close = data.find("):", 4);
        if (close == std::string::npos || !ReadHexNumber(data.substr(4, close - 4), type))
            return false;
        bytesAt = close + 2;
    } else {
        return false;  // includes "name"=- (a deletion), which has no meaning here
    }
    std::vector<uint8_t> bytes;
    if (!ReadHexBytes(data.substr(bytesAt), bytes))
        return false;
    tree.Set(key, wideName, type, bytes);
    return true;
}

std::vector<std::string> LogicalLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string current;
    bool continued = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (continued) {
            size_t first = line.find_first_not_of(" \t");
            line = first == std::string::npos ? std::string() : line.substr(first);
        }
        current += line;
        // regedit breaks long hex lists after a comma with a backslash.
        continued = !current.empty() && current.back() == '\\' && current.find('=') != std::string::npos &&
                    current.find("=\"") == std::string::npos;
        if (continued) {
            current.pop_back();
        } else {
            lines.push_back(current);
            current.clear();
        }
        start = end + 1;
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

}  // namespace

bool Parse(const std::string& utf8Text, CRegistryTree& tree)
{
    std::string text = utf8Text;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    const std::vector<std::string> lines = LogicalLines(text);
    if (lines.empty() || (lines[0] != "REGEDIT4" && lines[0] != "Windows Registry Editor Version 5.00"))
        return false;

    const std::wstring root = RootSection();
    bool inApp = false;
    std::wstring key;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            inApp = false;
            size_t close = line.rfind(']');
            if (close == std::string::npos || line[1] == '-')
                continue;
            std::wstring section = CodePages::FromUtf8(line.substr(1, close - 1));
            if (CRegistryTree::SameName(section, root)) {
                key.clear();
            } else if (StartsWithNoCase(section, root + L"\\") && section.size() > root.size() + 1) {
                key = section.substr(root.size() + 1);
            } else {
                continue;
            }
            inApp = true;
            tree.AddKey(key);
            continue;
        }
        if (inApp)
            ParseValue(line, tree, key);
    }
    return true;
}

std::string Write(const CRegistryTree& tree)
{
    std::string out = "REGEDIT4\n";
    const std::string root = CodePages::ToUtf8(RootSection());
    for (const CRegistryTree::Key& key : tree.Keys()) {
        out += "\n[" + root;
        if (!key.path.empty())
            out += "\\" + CodePages::ToUtf8(key.path);
        out += "]\n";
        for (const CRegistryTree::Value& value : key.values)
            out += ValueLine(value) + "\n";
    }
    return out;
}

}  // namespace RegFileFormat
