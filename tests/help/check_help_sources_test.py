#!/usr/bin/env python3
"""The help check catches what it is there for: each case breaks a copy of the help folder
in one way and expects the check to fail and name the fault; the unbroken copy passes.

  check_help_sources_test.py <source root>
"""
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_help_sources  # noqa: E402

# (case, file of the help folder, text to replace (None: delete the file), replacement, the fault named)
CASES = [
    ("a topic the program opens is gone", "SendingFirmware.htm", None, None,
     "topic SendingFirmware.htm that the program opens: page SendingFirmware.htm is not in the help folder"),
    ("an anchor the program opens is gone", "ConfigurationProgress.htm",
     '<a name="SaveDialog" id="SaveDialog"></a>', "", "has no anchor SaveDialog"),
    ("a page left out of the project", "ZR8Utility.hhp", "CopyFiles.htm\n", "",
     "CopyFiles.htm: its page is not in [FILES]"),
    ("a page left out of the index", "Index.hhk",
     '<param name="Local" value="SendingFirmware.htm">', '<param name="Local" value="Welcome.htm">',
     "page SendingFirmware.htm is not in the index"),
    ("a link to a missing anchor", "Port.htm", 'href="Messages.htm"', 'href="Messages.htm#Nowhere"',
     "link Messages.htm#Nowhere in Port.htm: Messages.htm has no anchor Nowhere"),
    ("a message box text left out", "Messages.htm", "Please choose a serial port on the Port page", "Choose a port",
     '"Please choose a serial port on the Port page" of IDS_CHOOSE_PORT'),
    ("one line of a box text left out", "Messages.htm", "Restore cannot continue.", "",
     '"Restore cannot continue." of IDS_CONFIG_SERIAL_MISMATCH'),
    ("a box caption left out", "Messages.htm", "Release Notes Error", "Notes error",
     "of IDS_CAPTION_RELEASE_NOTES_ERROR"),
    ("an error code left out", "Messages.htm", "<td>0xE2000044</td>", "<td>0xE20000</td>",
     "lacks the error code 0xE2000044"),
    ("an error code's text left out", "Messages.htm", "Retry limit has been exhausted", "Too many retries",
     'lacks the text "Retry limit has been exhausted" of 0xE2000044'),
]


def faults(facts, help_dir):
    checker = check_help_sources.Checker(facts, help_dir)
    checker.run()
    return checker.faults


def main():
    root = os.path.abspath(sys.argv[1])
    facts = check_help_sources.ProgramFacts(root)  # the program's side is the same in every case
    failed = 0
    with tempfile.TemporaryDirectory() as work:
        pristine = os.path.join(work, "pristine")
        shutil.copytree(os.path.join(root, "help"), pristine)
        found = faults(facts, pristine)
        if found:
            print("FAIL: the unbroken help folder does not pass:\n" + "\n".join(found))
            return 1
        for number, (case, name, old, new, expected) in enumerate(CASES):
            broken = os.path.join(work, f"case{number}")
            shutil.copytree(pristine, broken)
            path = os.path.join(broken, name)
            if old is None:
                os.remove(path)
            else:
                with open(path, encoding="utf-8") as f:
                    text = f.read()
                if old not in text:
                    print(f"FAIL: {case}: the case's text is not in {name} (update the case)")
                    failed += 1
                    continue
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text.replace(old, new, 1))
            found = faults(facts, broken)
            if not any(expected in fault for fault in found):
                print(f"FAIL: {case}: expected a fault naming '{expected}', got:\n" + "\n".join(found))
                failed += 1
            else:
                print(f"ok: {case}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
