#!/usr/bin/env python3
"""A trial saved by a spreadsheet in Windows-1252, imported and run: every
name reaches the tables and the page as the right UTF-8 text.

    encoded_names_check.py LOCSEQ EXAMPLES_DIR WORK_DIR

The example's long table, with accented location and genotype names and
decimal commas, is written as a ';' table in Windows-1252. Checks: without
--encoding the import is refused at the first such byte, naming its line
and --encoding cp1252; with it, the names file, the tables (read strictly
as UTF-8 by Python's csv module) and the page (as headless Chromium shows
it) hold exactly the names, cut at whole characters where .NAQ cuts them.

Exit status: 0 passed, 1 failed, 77 Chromium, its driver or the Selenium
bindings are missing (a skipped test for CTest).
"""

import csv
import io
import pathlib
import subprocess
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "report"))
from browser_check import SKIP, start  # noqa: E402

RENAMED = {
    "ARMIDALE": "Zürich", "BEGA": "São Paulo", "BOURKE": "Škofja Loka", "COBAR": "Œiras",
    "COOMA": "Ærøskøbing", "COWRA": "Besançon", "FINLEY": "Düren–Süd",
    "AMBER": "Émeraude", "BOLDER": "Señorita",
}


def short(name):
    """The name as .NAQ holds it: at most 8 bytes, whole characters, no
    trailing blanks."""
    out = ""
    for c in name:
        if len((out + c).encode()) > 8:
            break
        out += c
    return out.rstrip(" ")


def run(locseq, work, *args):
    return subprocess.run([locseq, *args], cwd=work, capture_output=True, text=True,
                          errors="strict")


def read_csv(path, fail):
    try:
        text = path.read_bytes().decode("utf-8", errors="strict")
    except UnicodeDecodeError as e:
        fail(f"{path.name} is not UTF-8: {e}")
        return []
    return list(csv.DictReader(io.StringIO(text)))


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    locseq = str(pathlib.Path(sys.argv[1]).resolve())
    examples, work = pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    work.mkdir(parents=True, exist_ok=True)
    failures = []
    fail = failures.append

    rows = list(csv.reader((examples / "wheat.csv").read_text().splitlines()))
    lines = [";".join(rows[0])]
    for year, location, genotype, value in rows[1:]:
        lines.append(";".join([year, RENAMED.get(location, location),
                               RENAMED.get(genotype, genotype), value.replace(".", ",")]))
    (work / "t.csv").write_bytes(("\r\n".join(lines) + "\r\n").encode("cp1252"))
    first = next(k for k, line in enumerate(lines, 1) if "Zürich" in line)

    refused = run(locseq, work, "import", "t.csv", "J", "--force")
    want = f"locseq: t.csv:{first}: the table is not UTF-8: byte 7 of the line"
    if refused.returncode != 1 or not refused.stderr.startswith(want) \
            or "--encoding cp1252" not in refused.stderr:
        fail(f"the Windows-1252 table was not refused as it should be: {refused.stderr!r}")

    for args in (["import", "t.csv", "J", "--force", "--encoding", "cp1252"],
                 ["run", "J", "--quiet", "--tables", "tables", "--report", "J.html"]):
        done = run(locseq, work, *args)
        if done.returncode != 0 or done.stderr:
            fail(f"{' '.join(args)}: status {done.returncode}: {done.stderr}")
            return report(failures)

    names = {(r["kind"], r["full_name"]): r["name"] for r in read_csv(work / "J.names.csv", fail)}
    for full in RENAMED.values():
        kind = "genotype" if full in ("Émeraude", "Señorita") else "location"
        if names.get((kind, full)) != short(full):
            fail(f"J.names.csv: {kind} {full!r} is {names.get((kind, full))!r}, not {short(full)!r}")

    expected = {short(RENAMED.get(r[1], r[1])): RENAMED.get(r[1], r[1]) for r in rows[1:]}
    shown = set()
    for table in ("groups.csv", "distances.csv"):
        for row in read_csv(work / "tables" / table, fail):
            if row["location_name"] not in expected:
                fail(f"{table}: a location name that is no name of the job: "
                     f"{row['location_name']!r}")
            shown.add(row["location_name"])
    accented = {s for s in shown if not s.isascii()}
    if not accented:
        fail("no accented name in the tables to check")

    with tempfile.TemporaryDirectory(prefix="locseq-chromium-") as profile:
        driver = start(profile)
        if driver is None:
            return SKIP
        try:
            driver.get((work / "J.html").resolve().as_uri())
            text = driver.execute_script("return document.body.innerText")
            charset = driver.execute_script("return document.characterSet")
        finally:
            driver.quit()
    if charset != "UTF-8":
        fail(f"the page reads as {charset}")
    for name in sorted(accented):
        if expected[name] not in text:
            fail(f"the page does not show {expected[name]!r}")
    for sign in ("\ufffd", "\\x", "Ã"):
        if sign in text:
            fail(f"the page shows {sign!r}: {text[text.index(sign) - 20:text.index(sign) + 20]!r}")
    return report(failures, len(accented))


def report(failures, checked=0):
    for failure in failures:
        print(f"encoded_names_check: {failure}", file=sys.stderr)
    if failures:
        return 1
    print(f"encoded_names_check: {checked} accented names right in the tables and on the page")
    return 0


if __name__ == "__main__":
    sys.exit(main())
