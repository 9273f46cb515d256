#!/usr/bin/python3
"""Reads tempik's window on the accessibility bus in one of its languages, run by
scripts/language-check beside eos-sim as the console (which taps at 120 BPM):

  language_check.py LANGUAGE CONSOLE_JSON_LINES

Once the window reads connected, with a tempo, in LANGUAGE: each text below reads as
translations/tempik_LANGUAGE.ts says and no text of the window is left in English (all are in
English, for a language tempik does not have); the console got the tempo shown as
"Effect 1 BPM <n>#" and the macro label as "BPM || <n>", in English as always; and the About
dialog, opened from the menu, closes with a button in the same language (Qt's own words).
"""
import json
import pathlib
import re
import sys
import time
import xml.etree.ElementTree as ET

import pyatspi

ROOT = pathlib.Path(__file__).resolve().parent.parent
# What the window holds, connected and with a tempo: the form's labels and a field's
# description, the hints (hidden), the status, the switch, the time buttons' names, the tap
# button's name, the credits and the menu.
SHOWN = ["Eos Host IP", "BPM Macro", "Multiplier", "The console's IP address or host name",
         "Enter Effect numbers to apply this to or a range like 3000-4000",
         "Enter a single Macro number", "Connected", "Follow Ableton Link", "Half time",
         "Double time", "Tap tempo", "Made by the tempik developers", "&Help", "About tempik"]


def translations(language):
    """Each text in the language; in English for a language tempik does not have."""
    path = ROOT / f"translations/tempik_{language}.ts"
    found = {source: source for source in SHOWN + ["%1 BPM"]}
    if language != "en" and path.exists():
        for message in ET.parse(path).getroot().iter("message"):
            found[message.findtext("source")] = message.findtext("translation")
    # Assistive technologies hear a menu's name without its key mark.
    return {source: text.replace("&", "") for source, text in found.items()}


def tempik():
    for app in pyatspi.Registry.getDesktop(0):
        if app and app.name == "tempik":
            return app
    return None


def walk(accessible):
    yield accessible
    for child in accessible:
        if child:
            yield from walk(child)


def window_texts():
    """Every name and description in tempik's windows, or None while there is none."""
    app = tempik()
    return app and {text for a in walk(app) for text in (a.name, a.description) if text}


def main(language, console_path):
    words = translations(language)
    connected = words["Connected"]
    tempo = re.compile(re.escape(words["%1 BPM"]).replace("%1", r"(\d+)"))
    deadline = time.monotonic() + 30
    texts = set()
    while time.monotonic() < deadline:
        texts = window_texts() or set()
        shown = [m.group(1) for m in map(tempo.fullmatch, texts) if m]
        if connected in texts and shown:
            break
        time.sleep(0.2)
    else:
        sys.exit(f"language-check: the window never read '{connected}' with a tempo; it read "
                 f"{sorted(texts)}")
    missing = [words[s] for s in SHOWN if words[s] not in texts]
    english = [s for s, text in words.items() if s != text and s in texts]
    if missing or english:
        sys.exit(f"language-check: missing {missing}, in English {english}; the window read "
                 f"{sorted(texts)}")
    print(f"language-check: the window reads {[words[s] for s in SHOWN]} and {shown[0]} BPM")

    bpm = shown[0]
    received = []
    for line in open(console_path, encoding="utf-8"):
        event = json.loads(line)
        if event.get("event") == "message":
            received.append((event["address"], event.get("args", [])))
    commands = [args for address, args in received if address == "/eos/user/20/newcmd"]
    labels = [args for address, args in received if address == "/eos/set/macro/901/label"]
    if [f"Effect 1 BPM {bpm}#"] not in commands or [f"BPM || {bpm}"] not in labels or \
            any(not re.fullmatch(r"Effect 1 BPM \d+#", c[0]) for c in commands) or \
            any(not re.fullmatch(r"BPM \|\| \d+", c[0]) for c in labels):
        sys.exit(f"language-check: for {bpm} BPM the console got commands {commands} and "
                 f"labels {labels}")
    print(f"language-check: the console got 'Effect 1 BPM {bpm}#' and 'BPM || {bpm}'")

    about = next(a for a in walk(tempik()) if a.getRoleName() == "menu item"
                 and a.name == words["About tempik"])
    about.queryAction().doAction(0)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        dialogs = [a for a in tempik() if a and a.getRoleName() == "dialog"]
        buttons = [b.name for d in dialogs for b in walk(d) if b.getRoleName() == "push button"]
        if buttons:
            break
        time.sleep(0.2)
    in_english = words["Connected"] == "Connected"
    if [d.name for d in dialogs] != [words["About tempik"]] or len(buttons) != 1 or \
            (buttons[0] == "Close") != in_english:
        sys.exit(f"language-check: the About dialogs {[d.name for d in dialogs]} have the "
                 f"buttons {buttons}")
    print(f"language-check: the About dialog closes with '{buttons[0]}'")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
