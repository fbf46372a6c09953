#!/usr/bin/env python3
"""Checks the help sources against the program's sources.

  check_help_sources.py <source root> [--help-dir DIR] [--stamp FILE]

Fails (exit 1, one line per fault) when
- a topic the windows open (every L"Name.htm" or L"Name.htm#Anchor" literal under src/ui)
  is not a page of the help folder, lacks its anchor, or is missing from the project's
  [FILES] or from the contents;
- a page of the help folder is not in [FILES], the contents or the index, or a contents
  entry, index entry or link between pages leads nowhere;
- the messages topic (Messages.htm) lacks the text of a string-table entry that a message
  box shows, a box caption, or one of the program's own error codes with its text.

The texts a box shows are the string-table names (IDS_...) among the arguments of
ShowMessage, ShowError, ShowErrorEx, MessageBoxes::Show, and of the functions of the same
file that call one of them; the captions are every IDS_CAPTION_... the program uses, but
for window titles (SetTitle). The codes are those of src/core/text/error_codes.h that code
outside the command-line tool names. --stamp writes the file when everything holds, so a
build step can depend on it.
"""
import argparse
import html
import os
import re
import sys

BOX_CALLS = ["ShowMessage", "ShowError", "ShowErrorEx", "ShowErrorV", "ShowErrorExV", "MessageBoxes::Show"]
FORMAT_SPEC = re.compile(r"%[-+ #0]*(?:\d+|\*)?(?:\.\d+)?(?:hh|h|ll|l|I64)?[diouxXeEfgGcCsSp]")


def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def unescape_string_table(text):
    return text.replace(r"\r", "\r").replace(r"\n", "\n").replace(r"\"", '"')


def string_table(root):
    table = {}
    for line in read(os.path.join(root, "resources", "strings.txt")).splitlines():
        m = re.match(r'^\s*(\d+)\s+(IDS_\w+)\s+"(.*)"\s*$', line)
        if m:
            table[m.group(2)] = unescape_string_table(m.group(3))
    return table


def message_table(root):
    table = {}
    for line in read(os.path.join(root, "resources", "messages.txt")).splitlines():
        m = re.match(r'^\s*(0x[0-9A-Fa-f]{8})\s+"(.*)"\s*$', line)
        if m:
            table[m.group(1).upper().replace("0X", "0x")] = m.group(2).replace(r"\"", '"')
    return table


def program_sources(root, exclude_cli=True):
    for top in ("src",):
        for folder, _, names in os.walk(os.path.join(root, top)):
            rel = os.path.relpath(folder, root).replace(os.sep, "/")
            if exclude_cli and (rel == "src/cli" or rel.startswith("src/cli/")):
                continue
            for name in names:
                if name.endswith((".cpp", ".h")):
                    yield os.path.join(folder, name)


def strip_comments(code):
    code = re.sub(r"/\*.*?\*/", " ", code, flags=re.S)
    return re.sub(r"//[^\n]*", " ", code)


def call_arguments(code, name):
    """The argument text of every call of name in code (balanced parentheses)."""
    for m in re.finditer(r"(?<![\w:])" + re.escape(name) + r"\s*\(", code):
        depth, i = 1, m.end()
        while i < len(code) and depth:
            depth += {"(": 1, ")": -1}.get(code[i], 0)
            i += 1
        yield code[m.end():i - 1]


def local_wrappers(code):
    """Functions defined at the top level of a file whose body shows a box."""
    names = set()
    for m in re.finditer(r"^[A-Za-z][^\n;{}]*?\b(\w+)\s*\([^;{}]*\)\s*(?:const\s*)?\{(.*?)^\}", code, re.S | re.M):
        body = m.group(2)
        if any(re.search(r"(?<![\w:])" + re.escape(call) + r"\s*\(", body) for call in BOX_CALLS):
            names.add(m.group(1))
    return names - set(BOX_CALLS)


def box_string_names(root):
    names, captions, titles = set(), set(), set()
    for path in program_sources(root):
        code = strip_comments(read(path))
        for call in BOX_CALLS + sorted(local_wrappers(code)):
            for args in call_arguments(code, call):
                names.update(re.findall(r"\bIDS_\w+", args))
        captions.update(re.findall(r"\bIDS_CAPTION_\w+", code))
        for args in call_arguments(code, "SetTitle"):
            titles.update(re.findall(r"\bIDS_\w+", args))
    return names | (captions - titles)


def own_codes(root):
    header = read(os.path.join(root, "src", "core", "text", "error_codes.h"))
    constants = dict(re.findall(r"constexpr DWORD (\w+) = (0x[0-9A-Fa-f]{8})", header))
    used = set()
    for path in program_sources(root):
        if path.endswith(os.path.join("text", "error_codes.h")):
            continue
        used.update(re.findall(r"\bZr8Error::(\w+)", strip_comments(read(path))))
    return sorted(constants[name].upper().replace("0X", "0x") for name in used if name in constants)


def page_text(markup):
    text = re.sub(r"<[^>]+>", " ", markup)
    return re.sub(r"\s+", " ", html.unescape(text)).strip()


def fragments(text):
    """The literal parts of a format: what an owner reads whatever the inserts."""
    text = text.replace("%%", "\x00")
    parts = []
    for piece in FORMAT_SPEC.split(text):
        for line in re.split(r"[\r\n]+", piece.replace("\x00", "%")):
            line = re.sub(r"\s+", " ", line).strip()
            if re.search(r"[A-Za-z0-9]", line):
                parts.append(line)
    return parts


def anchors(markup):
    return set(re.findall(r'\b(?:name|id)="([^"]+)"', markup))


class ProgramFacts:
    """What the check needs from the program's sources, read once."""

    def __init__(self, root):
        self.topics = set()
        for path in program_sources(root):
            if os.path.relpath(path, root).replace(os.sep, "/").startswith("src/ui/"):
                self.topics.update(re.findall(r'L"([A-Za-z0-9_]+\.htm(?:#[A-Za-z0-9_]+)?)"', read(path)))
        self.strings = string_table(root)
        self.box_strings = box_string_names(root)
        self.messages = message_table(root)
        self.codes = own_codes(root)


class Checker:
    def __init__(self, facts, help_dir):
        self.facts = facts
        self.help_dir = help_dir
        self.faults = []
        self.pages = {name: read(os.path.join(help_dir, name))
                      for name in sorted(os.listdir(help_dir)) if name.endswith(".htm")}

    def fault(self, text):
        self.faults.append(text)

    def leads_somewhere(self, what, target, page=None):
        name, _, anchor = target.partition("#")
        name = name or page
        if name not in self.pages:
            self.fault(f"{what}: page {name} is not in the help folder")
        elif anchor and anchor not in anchors(self.pages[name]):
            self.fault(f"{what}: {name} has no anchor {anchor}")

    def sitemap(self, file_name):
        path = os.path.join(self.help_dir, file_name)
        if not os.path.exists(path):
            self.fault(f"{file_name} is missing")
            return []
        return re.findall(r'<param name="Local" value="([^"]+)"', read(path))

    def run(self):
        project = read(os.path.join(self.help_dir, "ZR8Utility.hhp"))
        files = set(project.split("[FILES]", 1)[1].split()) if "[FILES]" in project else set()
        contents = self.sitemap("Contents.hhc")
        index = self.sitemap("Index.hhk")

        topics = self.facts.topics
        for topic in sorted(topics):
            self.leads_somewhere(f"topic {topic} that the program opens", topic)
            if topic.split("#")[0] not in files:
                self.fault(f"topic {topic}: its page is not in [FILES] of ZR8Utility.hhp")
            if topic not in contents:
                self.fault(f"topic {topic} is not in the contents")

        for name, markup in self.pages.items():
            if name not in files:
                self.fault(f"page {name} is not in [FILES] of ZR8Utility.hhp")
            if not any(entry.split("#")[0] == name for entry in contents):
                self.fault(f"page {name} is not in the contents")
            if not any(entry.split("#")[0] == name for entry in index):
                self.fault(f"page {name} is not in the index")
            for link in re.findall(r'href="([^":]*(?:\.htm)?(?:#[A-Za-z0-9_]+)?)"', markup):
                if link.endswith(".css"):
                    continue
                self.leads_somewhere(f"link {link} in {name}", link, page=name)
        for entry in contents:
            self.leads_somewhere(f"contents entry {entry}", entry)
        for entry in index:
            self.leads_somewhere(f"index entry {entry}", entry)

        self.check_messages()
        return len(topics)

    def check_messages(self):
        if "Messages.htm" not in self.pages:
            self.fault("the messages topic Messages.htm is missing")
            return
        text = page_text(self.pages["Messages.htm"])
        strings = self.facts.strings
        for name in sorted(self.facts.box_strings):
            if name not in strings:
                continue
            for part in fragments(strings[name]):
                if part not in text:
                    self.fault(f'Messages.htm lacks "{part}" of {name} (a message box text)')
        messages = self.facts.messages
        for code in self.facts.codes:
            if code not in text:
                self.fault(f"Messages.htm lacks the error code {code}")
            elif code in messages and messages[code] not in text:
                self.fault(f'Messages.htm lacks the text "{messages[code]}" of {code}')


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--help-dir")
    parser.add_argument("--stamp")
    args = parser.parse_args()
    checker = Checker(ProgramFacts(args.root), args.help_dir or os.path.join(args.root, "help"))
    topics = checker.run()
    for fault in checker.faults:
        print("FAIL: " + fault, file=sys.stderr)
    if checker.faults:
        return 1
    print(f"help sources OK: {topics} topics the program opens, {len(checker.pages)} pages")
    if args.stamp:
        with open(args.stamp, "w") as f:
            f.write("ok\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
