#!/usr/bin/env python3
# The files a release installs beside the program, checked against the
# program itself:
#
#   python3 tests/release_test.py --exe build/vexlar --man build/vexlar.1 \
#       --project-version 1.0.10 [--source .]
#
# - version: `vexlar --version`, the manual page's title line and the newest
#   release heading of CHANGELOG.md all come from the project version;
# - options: every option `vexlar --help` lists is an entry of the manual
#   page's OPTIONS and a completion of "-", in the same order, and the other
#   way round;
# - rendering: groff -ww and mandoc -T lint (each when installed) report
#   nothing;
# - completion: the completion function, driven through bash as a shell
#   does it (COMP_WORDS, COMP_CWORD), completes each kind of word as
#   tests/completion_cases.txt says.
# The last line is "N passed, N failed"; the exit status is 1 after any
# failure.
import argparse
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

from e2e_util import SOURCE, check, finish

# Runs the completion function on the words given as arguments (the first
# is COMP_CWORD) and prints one reply a line.
DRIVER = r'''
source "$COMPLETION"
complete -p vexlar
COMP_CWORD=$1
shift
COMP_WORDS=("$@")
word=${COMP_WORDS[COMP_CWORD]}
[[ $word == = ]] && word=
_vexlar vexlar "$word" "${COMP_WORDS[COMP_CWORD - 1]}"
printf '%s\n' "${COMPREPLY[@]}"
'''


def shown_version(project_version):
    """The version as the program shows it: the minor number in two digits."""
    major, minor, patch = project_version.split(".")
    return "%s.%02d.%s" % (major, int(minor), patch)


def help_options(help_text):
    """The options of --help in order: each line of the "Options:" block that
    starts with '-' lists them before its text, as "-h, --help" or
    "--dyno DIR" or "--backup[=CONTROL]"."""
    options = []
    block = help_text.split("\nOptions:\n", 1)[1]
    for line in block.splitlines():
        match = re.match(r"  (-\S.*?)(?:\s{2,}|$)", line)
        if not match:
            continue
        for item in match.group(1).split(", "):
            options.append(re.split(r"[\s\[=]", item, 1)[0])
    return options


def man_options(page):
    """The options of the manual page's OPTIONS section in order: the words
    starting with '-' in each .TP entry's tag line, once each."""
    section = re.search(r"^\.SH OPTIONS\n(.*?)^\.SH ", page, re.S | re.M).group(1)
    options = []
    for tag in re.findall(r"^\.TP\n(.*)$", section, re.M):
        text = re.sub(r"\\f[BIRP]", " ", tag.replace("\\-", "-")).replace('"', " ")
        for word in re.findall(r"(?<![\w-])(--?[A-Za-z][\w-]*|--)(?=[\s,=\[]|$)", text):
            if word not in options:
                options.append(word)
    return options


def newest_release(changelog):
    match = re.search(r"^## \[(\d+\.\d+\.\d+)\] - (\d{4}-\d\d-\d\d)$", changelog, re.M)
    return match.groups() if match else (None, None)


def check_version(args, page):
    version = shown_version(args.project_version)
    out = subprocess.run([args.exe, "--version"], capture_output=True, text=True).stdout
    check("--version shows the project version", out == "vexlar %s\n" % version,
                  "got %r for %s" % (out, args.project_version))
    with open(os.path.join(args.source, "CHANGELOG.md"), encoding="utf-8") as f:
        release, date = newest_release(f.read())
    check("CHANGELOG.md's newest release is the project version",
                  release == args.project_version, "newest heading: %s" % release)
    title = re.search(r"^\.TH (.*)$", page, re.M)
    expected = '.TH VEXLAR 1 "%s" "vexlar %s" "User Commands"' % (date, version)
    check("the manual page's title line: the version and its date",
                  title is not None and title.group(0) == expected,
                  "got %r, expected %r" % (title and title.group(0), expected))


def check_rendering(man_path):
    tools = [["groff", "-man", "-ww", "-z", man_path], ["mandoc", "-T", "lint", man_path]]
    present = [command for command in tools if shutil.which(command[0])]
    check("groff or mandoc is there to render the page", present)
    for command in present:
        run = subprocess.run(command, capture_output=True, text=True)
        check("the manual page renders without a word from " + " ".join(command[:-1]),
              run.returncode == 0 and run.stdout + run.stderr == "",
              "status %d\n%s%s" % (run.returncode, run.stdout, run.stderr))


def complete(completion, folder, words):
    """The completion of the last of `words`: its status, whether it was
    registered for vexlar, its replies and its standard error."""
    env = dict(os.environ, COMPLETION=completion, LC_ALL="C")
    run = subprocess.run(["bash", "--norc", "--noprofile", "-c", DRIVER, "bash", str(len(words) - 1)] + words,
                         cwd=folder, env=env, capture_output=True, text=True)
    lines = run.stdout.splitlines() or [""]
    return run.returncode, lines[0] == "complete -F _vexlar vexlar", [l for l in lines[1:] if l], run.stderr


def completion_cases(path):
    """The folder's names and the cases of the data file at `path`: (name,
    words, replies), replies None for the options of --help."""
    files, cases, name = [], [], ""
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            if line.startswith("files: "):
                files = shlex.split(line[len("files: "):])
            elif line.startswith("# "):
                name = line[2:]
            elif line.strip():
                words = shlex.split(line)
                at = words.index("->")
                replies = words[at + 1:]
                cases.append((name, words[:at], None if replies == ["@help"] else replies))
    return files, cases


def check_completion(completion, options):
    files, cases = completion_cases(os.path.join(SOURCE, "tests", "completion_cases.txt"))
    check("completion cases are there", cases)
    with tempfile.TemporaryDirectory() as folder:
        for name in files:
            path = os.path.join(folder, name)
            os.makedirs(path if name.endswith("/") else os.path.dirname(path), exist_ok=True)
            if not name.endswith("/"):
                open(path, "w").close()
        for name, words, expected in cases:
            status, registered, replies, errors = complete(completion, folder, words)
            # None: the options of --help, in its order; else in any order.
            ok = replies == options if expected is None else sorted(replies) == sorted(expected)
            check("completion: " + name, status == 0 and registered and ok and errors == "",
                  "words %r: got %r, expected %r (status %d, registered %s)\n%s" %
                  (words, replies, options if expected is None else expected, status,
                   registered, errors))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--man", required=True, help="the configured manual page")
    parser.add_argument("--project-version", required=True)
    parser.add_argument("--source", default=SOURCE)
    args = parser.parse_args()
    completion = os.path.join(args.source, "packaging", "vexlar.bash")
    with open(args.man, encoding="utf-8") as f:
        page = f.read()
    check_version(args, page)
    help_text = subprocess.run([args.exe, "--help"], capture_output=True, text=True).stdout
    options = help_options(help_text)
    check("--help lists options", len(options) > 0, help_text)
    in_page = man_options(page)
    check("the manual page has an entry for each option of --help, in order",
                  in_page == options, "page: %s\nhelp: %s" % (in_page, options))
    check_rendering(args.man)
    check_completion(completion, options)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
