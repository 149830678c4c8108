"""The game's transcript after a list of key-file lines, played headless: the
lines are typed, then Ablage > Protokoll sichern writes the transcript. The
tests that play the game another way (a terminal, AT-SPI) compare with it."""
import os
import subprocess


def headless_transcript(velmorat, bundle, work, key_lines):
    """The transcript's lines, without the empty ones at its end."""
    keys = os.path.join(work, "transcript.keys")
    transcript = os.path.join(work, "transcript.txt")
    with open(keys, "w", encoding="utf-8") as file:
        file.write("".join(line + "\n" for line in key_lines) + "{Menu 302}")
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen",
                       XDG_STATE_HOME=os.path.join(work, "headless-state"))
    subprocess.run([velmorat, "--headless", "--bundle", bundle, "--keys", keys,
                    "--panel-answer", transcript], env=environment,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=600, check=True)
    with open(transcript, encoding="utf-8") as file:
        lines = [line.rstrip() for line in file.read().split("\n")]
    while lines and not lines[-1]:
        lines.pop()
    return lines
