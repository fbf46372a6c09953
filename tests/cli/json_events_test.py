#!/usr/bin/env python3
"""zr8 --json read back with Python's json module: every line of standard output is one
JSON object with its "event" and "t", in the order and with the fields docs/cli.md gives,
for info, flash (a refused packet, so a retry), save-config, a question and a failure;
and every command in its success, failure and usage error.

Usage: json_events_test.py ZR8 ZR8SIM"""
import json
import os
import subprocess
import sys
import tempfile

ZR8, ZR8SIM = sys.argv[1], sys.argv[2]
QUICK = "--baud-model instant --flash-ms 0 --restart-ms 10"
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def run(home, args, stdin=None):
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_DATA_HOME=os.path.join(home, "data"))
    done = subprocess.run([ZR8, "--json"] + args, env=env, input=stdin if stdin is not None else "",
                          capture_output=True, text=True, timeout=300)
    events = []
    for number, line in enumerate(done.stdout.splitlines(), 1):
        try:
            event = json.loads(line)
        except ValueError as error:
            check(False, "%s: line %d is not JSON (%s): %r" % (args, number, error, line))
            continue
        check(isinstance(event, dict) and isinstance(event.get("event"), str), "%s: line %d has no event" % (args, number))
        check(isinstance(event.get("t"), (int, float)), "%s: line %d has no time" % (args, number))
        events.append(event)
    times = [e.get("t", 0) for e in events]
    check(times == sorted(times), "%s: times go backwards" % args)
    check(events and events[-1]["event"] == "result", "%s: the last event is not the result" % args)
    check(events and events[-1].get("exit") == done.returncode, "%s: the result's exit is not the exit status" % args)
    return done, events


def kinds(events, kind):
    return [e for e in events if e["event"] == kind]


def test_info(home):
    done, events = run(home, ["--port", "sim", "--trace", "info"])
    check(done.returncode == 0, "info exits 0: " + done.stderr)
    result = events[-1]
    for key, value in (("device", "ZR8"), ("firmwareStatus", "application firmware"), ("mcuVersion", "01.23"),
                       ("serialNumber", 12345), ("bitRate", 9600), ("port", "SIM")):
        check(result.get(key) == value, "info result %s is %r" % (key, result.get(key)))
    statuses = [e["text"] for e in kinds(events, "status")]
    check(statuses[:2] == ["Opening serial port SIM", "Serial port SIM is open"], "info status lines: %r" % statuses)
    check(any(e["text"].startswith("GetMcuVersion send RV;") for e in kinds(events, "trace")), "info trace of RV;")
    check(not any(e["text"].startswith("Opening") for e in kinds(events, "trace")), "a status line taken for a trace line")
    outputs = [e["text"] for e in kinds(events, "output")]
    check("Serial number: 12345" in outputs, "info output lines: %r" % outputs)


def test_flash(home):
    firmware = os.path.join(home, "zr8_0124.hex")
    subprocess.run([ZR8SIM, "--make-firmware", firmware, "--version", "124"], check=True, capture_output=True)
    done, events = run(home, ["--port", "sim", "--sim", QUICK + " --fault refuse-packet=3x2", "flash", firmware])
    check(done.returncode == 0, "flash exits 0: " + done.stderr)
    order = [e["event"] for e in events if e["event"] in ("progress", "retry", "result")]
    check("retry" in order and order.index("retry") > order.index("progress"), "flash: a retry among the progress")
    load = [e for e in kinds(events, "progress") if e["total"] == 63488]
    backup = [e for e in kinds(events, "progress") if e["total"] == 1024]
    check(backup and backup[-1]["done"] == 1024, "flash: the backup's progress")
    check(load and load[-1]["done"] == 63488, "flash: the load's progress reaches the end")
    check([e["done"] for e in load] == sorted(e["done"] for e in load), "flash: progress goes forward")
    for e in load:
        check(isinstance(e["rate"], (int, float)) and e["rate"] >= 0, "flash progress rate %r" % e)
        check(e["remaining"] is None or e["remaining"] >= 0, "flash progress remaining %r" % e)
    check(kinds(events, "retry")[-1]["retries"] == 2, "flash: two retries")
    result = events[-1]
    check(result.get("version") == "01.24" and result.get("retries") == 2, "flash result %r" % result)
    check(result.get("installedVersion") == "01.23" and result.get("fileVersion") == "01.24", "flash versions %r" % result)
    check(os.path.isfile(result.get("backup", "")), "flash: the backup file %r" % result.get("backup"))
    check(kinds(events, "output")[-1]["text"] == "MCU firmware load is complete", "flash: the completion line")

    older = os.path.join(home, "zr8_0116.hex")
    subprocess.run([ZR8SIM, "--make-firmware", older, "--version", "116"], check=True, capture_output=True)
    done, events = run(home, ["--port", "sim", "--sim", QUICK, "flash", older])
    questions = kinds(events, "question")
    check(len(questions) == 1 and questions[0]["answer"] is False and questions[0]["by"] == "no terminal",
          "flash: the downgrade question %r" % questions)
    check(kinds(events, "error")[-1]["code"] == "0x000004C7", "flash: a declined downgrade is cancelled")


def test_save_config(home):
    path = os.path.join(home, "radio.ZR8Config")
    done, events = run(home, ["--port", "sim", "--sim", "--baud-model instant", "save-config", path])
    check(done.returncode == 0, "save-config exits 0: " + done.stderr)
    check(events[-1].get("path") == path and events[-1].get("serialNumber") == 12345, "save-config result %r" % events[-1])
    check(os.path.isfile(path), "save-config wrote the file")
    check(kinds(events, "progress")[-1]["done"] == 1024, "save-config progress")


def test_failure(home):
    done, events = run(home, ["--port", "sim", "--sim", "--fault silent=0", "--timeout", "2", "info"])
    check(done.returncode == 1, "a silent radio fails")
    errors = kinds(events, "error")
    check(len(errors) == 1, "one error event: %r" % errors)
    if errors:
        check(errors[0]["code"] == "0xE2000049", "error code %r" % errors[0])
        check(errors[0]["text"] == "No response to semicolon poll", "error text %r" % errors[0])
        check(errors[0]["hint"].startswith("Nothing at all came back on SIM"), "error hint %r" % errors[0])


KINDS = {"status", "trace", "verbose", "message", "output", "progress", "retry", "question", "error", "usage", "result"}
SILENT = ["--port", "sim", "--sim", "--baud-model instant --fault silent=0", "--timeout", "1"]
SIM = ["--port", "sim", "--sim", "--baud-model instant"]


def test_every_command(home):
    """Every command in its success, its failure and a usage error: JSON lines and nothing
    else, one vocabulary, an "error" event only as the failure the run ends with (just
    before the result), a "usage" event for a wrong command line."""
    firmware = os.path.join(home, "zr8_0124.hex")
    subprocess.run([ZR8SIM, "--make-firmware", firmware, "--version", "124"], check=True, capture_output=True)
    broken = os.path.join(home, "zr8_0125.hex")
    with open(broken, "w") as f:
        f.write(":020000040000FA\n:10ZZ\n")
    config = os.path.join(home, "a.ZR8Config")
    done, _ = run(home, SIM + ["save-config", config])
    check(done.returncode == 0, "the fixture configuration is saved: " + done.stderr)
    damaged = os.path.join(home, "b.ZR8Config")
    with open(config, "rb") as f:
        data = bytearray(f.read())
    data[100] ^= 0x01
    with open(damaged, "wb") as f:
        f.write(data)
    quick = ["--port", "sim", "--sim", QUICK]
    cases = [
        # name, arguments, exit, standard input
        ("ports", ["ports"], 0, None),
        ("ports-usage", ["ports", "--bogus"], 2, None),
        ("info", SIM + ["info"], 0, None),
        ("info-radio", SILENT + ["info"], 1, None),
        ("info-usage", SIM + ["info", "--bogus"], 2, None),
        ("doctor", SIM + ["doctor"], 0, None),
        ("doctor-radio", SILENT + ["doctor"], 1, None),
        ("doctor-usage", ["doctor", "--bogus"], 2, None),
        ("send", SIM + ["send", "RV", "SN"], 0, None),
        ("send-radio", ["--port", os.path.join(home, "ttyNone"), "send", "RV"], 1, None),
        ("send-usage", SIM + ["send", "--bogus", "RV"], 2, None),
        ("terminal", SIM + ["terminal"], 0, "I;\nRV;SN;\n"),
        ("terminal-radio", ["--port", "sim", "--sim", "--baud-model instant --fault vanish=5", "terminal"], 1, "I;\nRV;\nSN;\n"),
        ("terminal-usage", SIM + ["terminal", "--bogus"], 2, None),
        ("flash", quick + ["--yes", "flash", "--no-backup", firmware], 0, None),
        ("flash-radio", SILENT + ["flash", firmware], 1, None),
        ("flash-file", quick + ["flash", broken], 1, None),
        ("flash-usage", quick + ["flash", "zr8_0124.bin"], 2, None),
        ("fetch-firmware-failure", ["fetch-firmware", "--folder", home, "--server", "127.0.0.1:1"], 1, None),
        ("fetch-firmware-usage", ["fetch-firmware", "--server", ""], 2, None),
        ("save-config", SIM + ["save-config", os.path.join(home, "c.ZR8Config")], 0, None),
        ("save-config-radio", SILENT + ["save-config"], 1, None),
        ("save-config-usage", SIM + ["save-config", "--bogus"], 2, None),
        ("restore-config", SIM + ["restore-config", config], 0, None),
        ("restore-config-radio", ["--port", "sim", "--sim", "--baud-model instant --fault power-loss=1",
                                  "restore-config", config], 1, None),
        ("restore-config-usage", SIM + ["restore-config"], 2, None),
        ("banner", SIM + ["banner", "--", "-73-"], 0, None),
        ("banner-radio", SILENT + ["banner"], 1, None),
        ("banner-usage", SIM + ["banner", "--bogus"], 2, None),
        ("diff", ["diff", config, config], 0, None),
        ("diff-file", ["diff", config, damaged], 2, None),
        ("diff-radio", SILENT + ["diff", config, "--radio"], 2, None),
        ("diff-usage", ["diff", config], 2, None),
        ("check", ["check", firmware], 0, None),
        ("check-file", ["check", broken], 1, None),
        ("check-config-file", ["check", damaged], 1, None),
        ("check-usage", ["check", "x.bin"], 2, None),
        ("sim-usage", ["sim", "--help"], 2, None),
        ("help", ["--help"], 0, None),
        ("command-help", ["flash", "--help"], 0, None),
        ("version", ["--version"], 0, None),
        ("unknown-command", ["bogus"], 2, None),
        ("timeout-usage", ["--timeout", "0", "info"], 2, None),
        ("sim-without-port", ["--sim", "--version 117", "info"], 2, None),
    ]
    for name, args, exit_code, stdin in cases:
        done, events = run(home, args, stdin)
        check(done.returncode == exit_code, "%s: exit %d, not %d: %s" % (name, done.returncode, exit_code, done.stderr))
        for e in events:
            check(e["event"] in KINDS, "%s: unknown event %r" % (name, e))
            check("\n" not in e.get("text", ""), "%s: a text with a line break %r" % (name, e))
        errors = [i for i, e in enumerate(events) if e["event"] == "error"]
        usages = kinds(events, "usage")
        if exit_code == 0:
            check(not errors and not usages, "%s: error events in a run that succeeds" % name)
        elif usages:
            check(exit_code == 2 and len(usages) == 1 and not errors, "%s: one usage event, no error" % name)
        else:
            check(errors == [len(events) - 2], "%s: one error event, just before the result: %r" % (name, events[-3:]))
            if name != "fetch-firmware-failure":  # the server's own reply is its advice
                check(errors and events[errors[0]]["hint"] != "", "%s: the error has its advice" % name)
    done, events = run(home, SIM + ["terminal"], "I;\nRV;SN;\n")
    check([e["text"] for e in kinds(events, "output")] == ["I;ZR8;", "RV;SN;RV01.23;SN12345;"],
          "terminal: the transcript as output events %r" % kinds(events, "output"))


with tempfile.TemporaryDirectory() as folder:
    for test in (test_info, test_flash, test_save_config, test_failure, test_every_command):
        home = os.path.join(folder, test.__name__)
        os.makedirs(home)
        test(home)
print("%d failure(s)" % len(failures))
sys.exit(1 if failures else 0)
