#!/usr/bin/env python3
"""A stand-in for velmorat under run --watch: it notes what it was given,
then does what the next line of STAND_IN_PLAN says, and waits for the signal
that ends it.

A plan line: "finish TYPED" replays the whole --keys file into --record-keys,
types TYPED after it and writes its transcript ("transcript N"); "cut" is
stopped in the middle of its replay (one line recorded, no transcript);
"end" ends at once.
"""
import json
import os
import signal
import sys

arguments = sys.argv[1:]


def option(name):
    return arguments[arguments.index(name) + 1] if name in arguments else None


def read(path):
    if path is None or not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as file:
        return file.read()


notes = os.environ["STAND_IN_NOTES"]
number = sum(1 for _ in open(notes)) if os.path.exists(notes) else 0
with open(os.environ["STAND_IN_PLAN"]) as plan:
    step = plan.read().split("\n")[number].split(" ", 1)
given = {"keys": read(option("--keys")), "changes": read(option("--show-changes")),
         "transcript there": os.path.exists(option("--dump-transcript"))}
replay = given["keys"] or ""
if step[0] != "end":
    with open(option("--record-keys"), "w", encoding="utf-8") as recorded:
        recorded.write(replay if step[0] == "finish" else replay.split("\n")[0] + "\n")
        if step[0] == "finish":
            recorded.write(step[1] + "\n")
    if step[0] == "finish":
        with open(option("--dump-transcript"), "w", encoding="utf-8") as transcript:
            transcript.write("transcript %d\n" % number)
with open(notes, "a") as file:
    file.write(json.dumps(given) + "\n")
if step[0] != "end":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    while True:
        signal.pause()
