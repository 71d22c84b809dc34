#!/usr/bin/env python3
"""Every help context the program asks for opens a topic of almacora.chm.

  help_contexts_test.py SOURCE_DIR CHM

Collects the contexts the window code passes to the help call (named
constants, SetHelpContext, ShowHelpTopic, a dialog's helpContext and the
application's own WinHelp), reads the context map compiled into the .chm
(chmls extractalias) and its file list (chmls list), and fails on a context
without a topic, a topic named other than by its place inside the file
("/event_edit.html": the viewer finds nothing under a build folder's path),
a topic missing from the file or one that is the default topic (which the
viewer shows anyway), a mapped context no code uses, or a build or source
folder's path anywhere in the file's parts. A handful of known contexts
guards the collection itself.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

PATTERNS = [
    r"\bk(?:\w*Help|Help(?:Topic|Context))\s*=\s*(\d+)",
    r"SetHelpContext\((\d+)\)",
    r"ShowHelp(?:Topic)?\((\d+)\)",
    r"helpContext\s*=\s*(\d+)\s*;",
    r"WinHelp\((\d+),\s*HELP_CONTEXT\)",
]
WINDOW_DIRS = ["shell", "dialogs", "alarms", "storage/ui"]
# One per dialog family: event editor, options page, alarm actions page,
# e-mail options, quick timer, import, calendars, wizard, the generic Help,
# the reminder window (through its host).
SAMPLE = {3: "event_edit.html", 21: "options_startup.html", 150: "action_email.html", 154: "email_options.html",
          153: "quick_timer.html", 135: "import.html", 145: "calendars.html", 85: "wizard.html", 1: "windows.html",
          18: "alarm_reminders.html"}


def code_contexts(source):
    found = set()
    for d in WINDOW_DIRS:
        for root, _, files in os.walk(os.path.join(source, d)):
            for name in files:
                if not name.endswith((".cpp", ".h")):
                    continue
                text = open(os.path.join(root, name), encoding="latin-1").read()
                for p in PATTERNS:
                    found.update(int(m) for m in re.findall(p, text))
    return found


def chm_map(chm):
    """The context map (context -> topic as stored), the file list, the
    default topic and the parts' texts, read with chmls."""
    work = tempfile.mkdtemp()
    try:
        copy = os.path.join(work, "almacora.chm")
        shutil.copy(chm, copy)
        subprocess.run(["chmls", "extractalias", copy, "almacora"], cwd=work, check=True, capture_output=True)
        aliases = {}
        for line in open(os.path.join(work, "almacora.ali")):
            m = re.match(r"helpid(\d+)=(.*?)\s*$", line)
            if m:
                aliases[int(m.group(1))] = m.group(2)
        listing = subprocess.run(["chmls", "-n", "list", copy], check=True, capture_output=True, text=True).stdout
        files = {line.strip().lstrip("/") for line in listing.splitlines() if line.strip().startswith("/")}
        system = subprocess.run(["chmls", "printsystem", copy], check=True, capture_output=True, text=True).stdout
        m = re.search(r"Default topic from \[options\]\s*:(\S+)", system)
        default = m.group(1).strip("\x00").lstrip("/") if m else None
        parts = os.path.join(work, "parts")
        subprocess.run(["chmls", "extractall", copy, parts], check=True, capture_output=True)
        texts = [open(chm, "rb").read()]
        for root, _, names in os.walk(parts):
            texts += [open(os.path.join(root, n), "rb").read() for n in names]
        return aliases, files, default, texts
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    source, chm = sys.argv[1], sys.argv[2]
    used = code_contexts(source)
    aliases, files, default, texts = chm_map(chm)
    faults = []
    if not default or default not in files:
        faults.append("the default topic %r is not in the file" % default)
    for ctx, topic in SAMPLE.items():
        if ctx not in used:
            faults.append("context %d is not found in the code any more" % ctx)
        if aliases.get(ctx) != "/" + topic:
            faults.append("context %d opens %r, not %r" % (ctx, aliases.get(ctx), "/" + topic))
    for ctx in sorted(used - set(aliases)):
        faults.append("context %d has no topic" % ctx)
    for ctx in sorted(set(aliases) - used):
        faults.append("context %d is mapped but no window asks for it" % ctx)
    for ctx, topic in sorted(aliases.items()):
        name = topic[1:] if topic.startswith("/") else None
        if name is None or "/" in name or "\\" in name:
            faults.append("context %d names %r, not a topic inside the file" % (ctx, topic))
        elif name not in files:
            faults.append("context %d maps to %s, which the file lacks" % (ctx, name))
        elif name == default:
            faults.append("context %d opens the default topic %s" % (ctx, name))
    build = os.path.dirname(os.path.abspath(chm))
    for folder in {os.path.abspath(source), build, os.path.realpath(source), os.path.realpath(build)}:
        if any(folder.encode() in t for t in texts):
            faults.append("the file holds the path %s" % folder)
    print("%d contexts in the code, %d mapped" % (len(used), len(aliases)))
    for f in faults:
        print("FAULT: " + f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
