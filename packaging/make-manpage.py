#!/usr/bin/env python3
"""Makes the manual page of ventrolo from one source for each text: the program's own --help
and --version, and the sections of README.md the template names (@README:Section title@).

    make-manpage.py --program build/src/app/ventrolo --readme README.md \\
                    --template packaging/ventrolo.1.in --output ventrolo.1

README.md is read in the subset it is written in: paragraphs, "- " lists, indented code
blocks, pipe tables, `code` and "### " headings. Anything else fails the build rather than
reaching the page wrongly."""

import argparse
import re
import subprocess
import sys

SPECIAL = {"\u2014": "\\(em", "\u2013": "\\(en", "\u00b0": "\\(de", "\u2192": "\\(->",
           "\u2026": "...", "\u00d7": "\\(mu", "\u03a9": "\\(*W"}


def escape(text):
    text = text.replace("\\", "\\e")
    for char, troff in SPECIAL.items():
        text = text.replace(char, troff)
    return text


def code(text):
    return escape(text).replace("-", "\\-")


def inline(text):
    """Markdown spans to troff: `code` and **strong** bold, [text](url) as text <url>."""
    parts = re.split(r"(`[^`]*`)", text)
    out = []
    for part in parts:
        if part.startswith("`") and part.endswith("`") and len(part) > 1:
            out.append("\\fB" + code(part[1:-1]) + "\\fR")
        else:
            part = re.sub(r"\[([^\]]+)\]\(([^)]+)\)", r"\1 <\2>", part)
            out.append(re.sub(r"\*\*(.+?)\*\*", r"\\fB\1\\fR", escape(part)))
    return "".join(out)


def line_start(text):
    """A line that troff would take for a request starts with a zero-width escape."""
    return "\\&" + text if text[:1] in (".", "'") else text


def indent_of(line):
    return len(line) - len(line.lstrip(" "))


def table(rows):
    cells = [[c.strip().replace("`", "") for c in r.strip().strip("|").split("|")] for r in rows]
    cells = [r for r in cells if not all(re.fullmatch(r":?-+:?", c) for c in r)]
    widths = [max(len(r[i]) for r in cells) for i in range(len(cells[0]))]
    lines = ["  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip() for r in cells]
    lines.insert(1, "  ".join("-" * w for w in widths))
    return [".PP", ".nf"] + [line_start(escape(l)) for l in lines] + [".fi"]


def markdown(lines):
    """The README subset to troff lines."""
    out = []
    i = 0
    in_item = False
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            i += 1
            continue
        base = 2 if in_item and indent_of(line) >= 2 else 0
        if base == 0:
            in_item = False
        if indent_of(line) >= base + 4:
            block = []
            while i < len(lines) and (not lines[i].strip() or indent_of(lines[i]) >= base + 4):
                block.append(lines[i][base + 4:])
                i += 1
            while block and not block[-1].strip():
                block.pop()
            out += [".sp", ".RS", ".nf"] + [line_start(code(b)) for b in block] + [".fi", ".RE"]
            if in_item:
                out.append('.IP "" 2')
            continue
        if line.startswith("|"):
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                rows.append(lines[i])
                i += 1
            out += table(rows)
            continue
        if line.startswith("### "):
            out += [".SS " + escape(line[4:].strip())]
            i += 1
            continue
        if line.startswith("#") or line.lstrip().startswith(("* ", "1. ", ">")):
            sys.exit("make-manpage: README line not in the subset it handles: " + line)
        if line.startswith("- "):
            out.append(".IP \\(bu 2")
            in_item = True
            text = [line[2:]]
        else:
            out.append('.IP "" 2' if in_item else ".PP")
            text = [line.strip()]
        i += 1
        while (i < len(lines) and lines[i].strip() and not lines[i].startswith(("- ", "|"))
               and indent_of(lines[i]) < (2 if in_item else 0) + 4):
            text.append(lines[i].strip())
            i += 1
        out.append(line_start(inline(" ".join(text))))
    return out


def readme_section(readme, title):
    match = re.search(r"^## " + re.escape(title) + r"\n(.*?)(?=^## |\Z)", readme, re.M | re.S)
    if not match:
        sys.exit("make-manpage: README.md has no section '## %s'" % title)
    return "\n".join(markdown(match.group(1).split("\n")))


def synopsis_from_usage(usage):
    """The usage line as troff, one optional part a line: option names and the values written
    as they are typed bold, the values a user chooses (DIR, FILE) italic, the brackets as they
    stand, nested ones too ([--headless [--status]])."""
    words = re.findall(r"\[|\]|[^\s\[\]]+", usage.split("ventrolo", 1)[1])
    lines = [".B ventrolo"]
    part = ""
    depth = 0
    for word in words:
        if word == "]":
            part += "]"
            depth -= 1
        else:
            if part and not part.endswith("["):
                part += " "
            if word == "[":
                part += "["
                depth += 1
            elif word.isupper():
                part += "\\fI%s\\fR" % code(word)
            else:
                part += "|".join("\\fB%s\\fR" % code(w) for w in word.split("|"))
        if depth < 0:
            break
        if depth == 0:
            lines.append(part)
            part = ""
    if depth or part:
        sys.exit("make-manpage: the usage line's brackets do not pair: " + usage)
    return "\n".join(lines)


def options_from_help(help_text):
    """The synopsis, description and options of the --help text QCommandLineParser lays out."""
    lines = help_text.rstrip("\n").split("\n")
    usage = []
    while lines and (lines[0].startswith("Usage:") or (usage and lines[0].startswith(" "))):
        usage.append(lines.pop(0))
    description = []
    while lines and lines[0] != "Options:":
        description.append(lines.pop(0).strip())
    if not usage or not lines:
        sys.exit("make-manpage: the --help text has no usage line or no options")
    synopsis = synopsis_from_usage(" ".join(usage))
    entries = []
    for line in lines[1:]:
        if re.match(r"  -", line):
            names, _, text = line.strip().partition("  ")
            entries.append([names, text.strip()])
        elif entries and line.strip():
            entries[-1][1] += " " + line.strip()
    options = []
    for names, text in entries:
        names = re.sub(r"<([^>]+)>", lambda m: "\\fI" + m.group(1) + "\\fR",
                       re.sub(r"(-[-\w]+)", lambda m: "\\fB" + code(m.group(1)) + "\\fR", names))
        options += [".TP", names, line_start(inline(text))]
    return synopsis, inline(" ".join(d for d in description if d)), "\n".join(options)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--readme", required=True)
    parser.add_argument("--template", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()

    def run(option):
        return subprocess.run([args.program, option], check=True, capture_output=True,
                              text=True).stdout

    synopsis, description, options = options_from_help(run("--help"))
    with open(args.readme, encoding="utf-8") as f:
        readme = f.read()
    with open(args.template, encoding="utf-8") as f:
        page = f.read()
    page = page.replace("@VERSION@", escape(run("--version").strip()))
    page = page.replace("@SYNOPSIS@", synopsis).replace("@DESCRIPTION@", description)
    page = page.replace("@OPTIONS@", options)
    page = re.sub(r"@README:([^@]+)@", lambda m: readme_section(readme, m.group(1)), page)
    leftover = re.findall(r"@[A-Z]+(?::[^@\n]*)?@", page)
    if leftover:
        sys.exit("make-manpage: unfilled places in the template: " + ", ".join(leftover))
    with open(args.output, "w", encoding="utf-8") as f:
        f.write(page)


if __name__ == "__main__":
    main()
