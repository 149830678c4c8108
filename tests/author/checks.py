"""What the author tests share: velmorat-tool as a process, and failures
gathered so that one run reports all of them."""
import subprocess
import sys

FAILURES = []


def check(condition, what, detail=""):
    if not condition:
        FAILURES.append(what + ("\n" + detail if detail else ""))
    return condition


def run_tool(program, *arguments):
    return subprocess.run([program, *arguments], capture_output=True, text=True, timeout=300)


def finish(name):
    """Exits with the failures gathered, or says that name passed."""
    if FAILURES:
        print("\n".join("FAILED: " + failure for failure in FAILURES))
        sys.exit(1)
    print(name + ": passed")
    sys.exit(0)
