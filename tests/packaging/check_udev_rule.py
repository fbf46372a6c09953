#!/usr/bin/env python3
"""The udev rule the .deb installs: its syntax (keys, operators, quoting) as udev reads it,
its match keys and its assignment, and what it does on recorded sysfs trees: it matches the
usb-serial port of every FTDI adapter and no other, and the attribute it sets is there.

    check_udev_rule.py <rules file> <folder of recorded machines>
"""
import os
import re
import sys

MATCH_KEYS = {"ACTION", "DEVPATH", "KERNEL", "KERNELS", "NAME", "SYMLINK", "SUBSYSTEM", "SUBSYSTEMS",
              "DRIVER", "DRIVERS", "ATTR", "ATTRS", "ENV", "TAG", "TAGS", "TEST", "PROGRAM", "RESULT"}
ASSIGN_KEYS = {"NAME", "SYMLINK", "OWNER", "GROUP", "MODE", "ATTR", "ENV", "TAG", "RUN", "LABEL", "GOTO",
               "IMPORT", "OPTIONS", "SECLABEL", "SYSCTL"}
TOKEN = re.compile(r'\s*([A-Z]+)(\{([^}]+)\})?\s*(==|!=|\+=|-=|:=|=)\s*"([^"]*)"\s*(,|$)')

failures = []


def fail(text):
    failures.append(text)
    print("FAIL: " + text, file=sys.stderr)


def parse(path):
    rules = []
    with open(path) as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            tokens, at = [], 0
            while at < len(line):
                m = TOKEN.match(line, at)
                if not m:
                    fail(f"line {number}: cannot read from '{line[at:]}'")
                    break
                key, _, attr, op, value, _ = m.groups()
                match = op in ("==", "!=")
                if key not in (MATCH_KEYS if match else ASSIGN_KEYS):
                    fail(f"line {number}: {key} cannot take {op}")
                if key in ("ATTR", "ATTRS", "ENV") and not attr:
                    fail(f"line {number}: {key} needs {{name}}")
                tokens.append((key, attr, op, value))
                at = m.end()
            rules.append(tokens)
    return rules


def link_name(path):
    return os.path.basename(os.readlink(path)) if os.path.islink(path) else ""


def matches(tokens, device):
    """The rule's match keys against one sysfs device folder (ACTION is "add")."""
    for key, attr, op, value in tokens:
        if op not in ("==", "!="):
            continue
        have = {"ACTION": "add", "SUBSYSTEM": link_name(os.path.join(device, "subsystem")),
                "DRIVER": link_name(os.path.join(device, "driver"))}.get(key)
        if have is None:
            fail(f"the check cannot evaluate {key}")
            return False
        if (have == value) != (op == "=="):
            return False
    return True


def main():
    rules_file, machines = sys.argv[1], sys.argv[2]
    rules = parse(rules_file)
    if len(rules) != 1:
        fail(f"{len(rules)} rules, not one")
        return
    tokens = rules[0]
    keys = [(k, a, op, v) for k, a, op, v in tokens if op in ("==", "!=")]
    assigns = [(k, a, op, v) for k, a, op, v in tokens if op not in ("==", "!=")]
    if sorted(keys) != sorted([("ACTION", None, "==", "add"), ("SUBSYSTEM", None, "==", "usb-serial"),
                               ("DRIVER", None, "==", "ftdi_sio")]):
        fail(f"match keys {keys}")
    if assigns != [("ATTR", "latency_timer", "=", "1")]:
        fail(f"assignments {assigns}")

    matched = set()
    for machine in sorted(os.listdir(machines)):
        ttys = os.path.join(machines, machine, "sys", "class", "tty")
        if not os.path.isdir(ttys):
            continue
        for tty in sorted(os.listdir(ttys)):
            device = os.path.realpath(os.path.join(ttys, tty, "device"))
            if not matches(tokens, device):
                continue
            matched.add(machine)
            for key, attr, _, _ in assigns:
                if key == "ATTR" and not os.path.isfile(os.path.join(device, attr)):
                    fail(f"{machine}/{tty}: the rule matches but there is no {attr} to set")
    expected = {"ftdi-latency-16", "ftdi-latency-1", "ftdi-moved", "odd-values"}
    if matched != expected:
        fail(f"the rule matches {sorted(matched)}, not {sorted(expected)}")


main()
if failures:
    sys.exit(1)
print("udev rule OK")
