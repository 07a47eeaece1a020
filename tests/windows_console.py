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
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

from e2e_util import SOURCE, arguments, check, finish, until

PROMPT = "Press any key to close this window."
NO_FILE = "ERROR: No file for converting!"
# In a tmux terminal: name, the command line in the work folder, whether the
# program waits for a key, what the screen must show and what it must not.
TERMINAL = [
    # A console of its own: a double-click without a file, one file dropped
    # (converted as from a prompt, without a count) and two dropped at once.
    ("own window, no file", "wine vexlar.exe", True, [NO_FILE, "drop its .kolvo file"], []),
    ("own window, one file", "wine vexlar.exe a\\\\a.kolvo", True, ["Markers:"],
     ["mission converted"]),
    ("own window, two files", "wine vexlar.exe a\\\\a.kolvo b\\\\b.kolvo", True,
     ["2 missions converted, 0 failed"], []),
    # cmd's console is shared: no wait, no hint.
    ("cmd /c", "wine cmd /c vexlar.exe", False, [NO_FILE], []),
]


def in_terminal(work, name, command, waits, shows, hides):
    """Runs `command` in a tmux terminal. When `waits`, the prompt must show
    and the program keep running until a key comes; otherwise it must end
    with no prompt. The screen must hold `shows` and not `hides`."""
    session = "vexlar-" + name.replace(" ", "-")
    tmux = lambda *args: subprocess.run(["tmux", *args], capture_output=True, text=True).stdout
    screen = lambda: tmux("capture-pane", "-p", "-J", "-t", session)
    on_screen = lambda text, seconds: until(lambda: text in screen(), seconds)
    tmux("kill-session", "-t", session)
    shell = "cd %s && WINEDEBUG=-all %s; echo STATUS=$?; sleep 60" % (shlex.quote(work), command)
    subprocess.run(["tmux", "new-session", "-d", "-s", session, "-x", "200", "-y", "50", shell],
                   check=True)
    try:
        if waits:
            prompted = on_screen(PROMPT, 60)
            time.sleep(2)
            prompted = prompted and "STATUS=" not in screen()  # still running
            subprocess.run(["tmux", "send-keys", "-t", session, "x"], check=True)
        ended = on_screen("STATUS=", 30 if waits else 60)
        text = screen()
        check(name + (": asks for a key and waits" if waits else ": ends without waiting"),
              ended and (prompted if waits else PROMPT not in text), text)
        for line, shown in [(line, True) for line in shows] + [(line, False) for line in hides]:
            check(name + (": shows " if shown else ": does not show ") + line,
                  (line in text) == shown, text)
    finally:
        tmux("kill-session", "-t", session)


def main():
    args = arguments()
    work = tempfile.mkdtemp(prefix="vexlar-console-")
    try:
        shutil.copy(args.exe, os.path.join(work, "vexlar.exe"))
        for name in ("a", "b"):
            os.makedirs(os.path.join(work, name))
            shutil.copy(os.path.join(SOURCE, "examples", "attack.kolvo"),
                        os.path.join(work, name, name + ".kolvo"))
        for run in TERMINAL:
            in_terminal(work, *run)
        for name in ("a", "b"):
            check("own window, two files: " + name + "\\mission.pld written",
                  os.path.exists(os.path.join(work, name, "mission.pld")))
        # Input or output not a console, as in CI and scripts.
        with open(os.path.join(work, "out.txt"), "wb") as sink:
            for name, command, stdin, stdout in [
                    ("input from /dev/null", "vexlar.exe", subprocess.DEVNULL, subprocess.PIPE),
                    ("input from a pipe", "vexlar.exe", subprocess.PIPE, subprocess.PIPE),
                    ("output to a file", "vexlar.exe", None, sink),
                    ("cmd /c, no input", "cmd /c vexlar.exe", subprocess.DEVNULL, subprocess.PIPE),
                    ("start /wait, no input", "cmd /c start /wait vexlar.exe", subprocess.DEVNULL,
                     subprocess.PIPE)]:
                try:
                    status = subprocess.run(["wine", *command.split()], cwd=work, stdin=stdin,
                                            stdout=stdout, stderr=subprocess.STDOUT, timeout=60,
                                            env=dict(os.environ, WINEDEBUG="-all")).returncode
                except subprocess.TimeoutExpired:
                    status = "still running after 60 s"
                check(name + ": ends without waiting", status == 1, "status %s" % status)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
