#!/usr/bin/env python3
"""Checks two rules of the page's code that no compiler checks.

    source_rules.py REPORT_SOURCE_DIR

1. No function longer than 60 lines (from the first line of its signature
   to its closing brace): a function of the page or of a figure does one
   thing.
2. No colour outside the palette (palette.h and palette.cpp): neither a
   "#rgb" or "#rrggbb" text nor a Colour made from a number.

Prints each breach as FILE:LINE: message; exit status 1 when there is one.
"""

import pathlib
import re
import sys

LONGEST = 60
PALETTE = {"palette.h", "palette.cpp"}
COLOUR_TEXT = re.compile(r"#[0-9A-Fa-f]{3}(?:[0-9A-Fa-f]{3})?\b")
COLOUR_NUMBER = re.compile(r"\bColour\s*[{(]\s*0x")
NOT_FUNCTIONS = ("namespace", "struct", "class", "enum", "union", "extern", "using")


def functions(lines):
    """(first line, last line) of each definition at namespace scope: a
    closing brace alone at the start of a line, back to the nearest line
    before it that starts at the margin."""
    for end, text in enumerate(lines):
        if text.rstrip() != "}":
            continue
        start = end - 1
        while start >= 0 and (not lines[start][:1].strip() or lines[start].startswith(("//", "#"))):
            start -= 1
        if start >= 0 and not lines[start].startswith(NOT_FUNCTIONS):
            yield start, end


def check(folder):
    breaches = []
    for file in sorted(folder.glob("*.[ch]*")):
        lines = file.read_text(encoding="utf-8").splitlines()
        for start, end in functions(lines):
            length = end - start + 1
            if length > LONGEST:
                breaches.append(f"{file}:{start + 1}: a function of {length} lines "
                                f"(at most {LONGEST}): {lines[start].strip()}")
        if file.name in PALETTE:
            continue
        for number, text in enumerate(lines, 1):
            code = text.split("//", 1)[0]
            if COLOUR_TEXT.search(code) or COLOUR_NUMBER.search(code):
                breaches.append(f"{file}:{number}: a colour outside the palette: {text.strip()}")
    return breaches


def main():
    if len(sys.argv) != 2 or not pathlib.Path(sys.argv[1]).is_dir():
        print(__doc__, file=sys.stderr)
        return 2
    breaches = check(pathlib.Path(sys.argv[1]))
    for breach in breaches:
        print(breach, file=sys.stderr)
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main())
