#!/usr/bin/env python3
# When vexlar.exe waits for a key before its window closes, run under Wine:
#
#   python3 tests/windows_console.py --exe build-win/vexlar.exe
#
# Wine started on a terminal gives the program a console of its own, as
# Explorer does for a double-click or a dropped file; tmux is that terminal
# here, typing the key and reading the screen. There the program must end by
# asking for a key and wait for it, and files handed over together must each
# be converted. Started from cmd's console, or with its input or output not a
# console (every way CI and scripts start it), it must end by itself.
#
# WINEPREFIX must name an initialised prefix. The last line is
# "N passed, N failed"; the exit status is 1 after any failure.
import argparse
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

from e2e_util import SOURCE, check, finish

PROMPT = "Press any key to close this window."

def screen(session):
    return subprocess.run(["tmux", "capture-pane", "-p", "-J", "-t", session],
                          capture_output=True, text=True).stdout


def wait_for(session, text, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if text in screen(session):
            return True
        time.sleep(0.5)
    return False


def in_terminal(name, command, expect, waits, absent=()):
    """Runs `command` in a tmux terminal. When `waits`, the prompt must show
    and the program keep running until a key comes; otherwise it must end
    with no prompt. `expect` must show on the screen; the status is 1."""
    session = "vexlar-" + name.replace(" ", "-")
    subprocess.run(["tmux", "kill-session", "-t", session], capture_output=True)
    subprocess.run(["tmux", "new-session", "-d", "-s", session, "-x", "200", "-y", "50",
                    command + "; echo STATUS=$?; sleep 60"], check=True)
    try:
        if waits:
            shown = wait_for(session, PROMPT, 60)
            time.sleep(2)
            waiting = "STATUS=" not in screen(session)
            subprocess.run(["tmux", "send-keys", "-t", session, "x"], check=True)
            ended = wait_for(session, "STATUS=", 30)
            check(name + ": asks for a key and waits", shown and waiting and ended, screen(session))
        else:
            ended = wait_for(session, "STATUS=", 60)
            check(name + ": ends without waiting", ended and PROMPT not in screen(session),
                  screen(session))
        text = screen(session)
        for line in expect:
            check(name + ": shows " + line, line in text, text)
        for line in absent:
            check(name + ": does not show " + line, line not in text, text)
    finally:
        subprocess.run(["tmux", "kill-session", "-t", session], capture_output=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="vexlar-console-")
    try:
        exe = os.path.join(work, "vexlar.exe")
        shutil.copy(args.exe, exe)
        for name in ("a", "b"):
            os.makedirs(os.path.join(work, name))
            shutil.copy(os.path.join(SOURCE, "examples", "attack.kolvo"),
                        os.path.join(work, name, name + ".kolvo"))
        env = "cd %s && WINEDEBUG=-all " % shlex.quote(work)
        # A console of its own: a double-click without a file ...
        in_terminal("own window, no file", env + "wine vexlar.exe",
                    ["ERROR: No file for converting!", "drop its .kolvo file"], waits=True)
        # ... one file dropped: converted as from a prompt, without a count ...
        in_terminal("own window, one file", env + "wine vexlar.exe a\\\\a.kolvo", ["Markers:"],
                    waits=True, absent=["mission converted"])
        # ... and two files dropped at once: both converted.
        in_terminal("own window, two files", env + "wine vexlar.exe a\\\\a.kolvo b\\\\b.kolvo",
                    ["2 missions converted, 0 failed"], waits=True)
        for name in ("a", "b"):
            check("own window, two files: " + name + "\\mission.pld written",
                  os.path.exists(os.path.join(work, name, "mission.pld")))
        # cmd's console is shared: no wait, no hint.
        in_terminal("cmd /c", env + "wine cmd /c vexlar.exe", ["ERROR: No file for converting!"],
                    waits=False)
        # Input or output not a console, as in CI and scripts.
        starts = {
            "input from /dev/null": ("wine vexlar.exe", subprocess.DEVNULL, None),
            "input from a pipe": ("wine vexlar.exe", subprocess.PIPE, None),
            "output to a file": ("wine vexlar.exe", None, "file"),
            "cmd /c, no input": ("wine cmd /c vexlar.exe", subprocess.DEVNULL, None),
            "start /wait, no input": ("wine cmd /c start /wait vexlar.exe", subprocess.DEVNULL,
                                      None),
        }
        for name, (command, stdin, out) in starts.items():
            with open(os.path.join(work, "out.txt"), "wb") as sink:
                try:
                    run = subprocess.run(shlex.split(command), cwd=work, stdin=stdin,
                                         stdout=sink if out else subprocess.PIPE,
                                         stderr=subprocess.STDOUT, timeout=60, input=None,
                                         env=dict(os.environ, WINEDEBUG="-all"))
                    check(name + ": ends without waiting", run.returncode == 1,
                          "status %d" % run.returncode)
                except subprocess.TimeoutExpired:
                    check(name + ": ends without waiting", False, "still running after 60 s")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
