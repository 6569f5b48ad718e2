#!/usr/bin/env python3
"""orvix-kl-batch --summary=FILE.xlsx: the workbook read back with openpyxl holds the rows and
columns of the CSV summary of the same protocols, numbers as numbers, texts as strings; an
".XLSX" name is a workbook too, any other name the CSV.

usage: summary_workbook_check.py PROTOGEN BATCH WORKDIR"""
import csv
import pathlib
import shutil
import subprocess
import sys

import openpyxl


def run(batch, args, protocols):
    return subprocess.run([batch, "--decimal=.", *args, *map(str, protocols)],
                          stderr=subprocess.PIPE, check=False)


def main():
    protogen, batch, work = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
    shutil.rmtree(work, ignore_errors=True)
    subprocess.run([protogen, "--seed=61", "--count=6", str(work / "in")], check=True)
    protocols = sorted((work / "in").glob("*.klp"))
    # One that does not read with ".", one that is not there, and one with a twin's tag.
    subprocess.run([protogen, "--seed=62", "--decimal=,", str(work / "comma")], check=True)
    protocols += sorted((work / "comma").glob("*.klp"))
    protocols += [work / "in" / "missing.klp", protocols[0]]

    csv_run = run(batch, ["--out=" + str(work / "a"), "--summary=" + str(work / "s.csv")],
                  protocols)
    book_run = run(batch, ["--out=" + str(work / "b"), "--summary=" + str(work / "s.XLSX")],
                   protocols)
    assert csv_run.returncode == book_run.returncode == 1, (csv_run, book_run)
    # Both name the failures alike (the output folders differ only in their names).
    assert csv_run.stderr.replace(b"/a/", b"/b/") == book_run.stderr, book_run.stderr

    with open(work / "s.csv", newline="", encoding="utf-8") as f:
        table = list(csv.reader(f))
    sheet = openpyxl.load_workbook(work / "s.XLSX").active
    rows = [[c.value for c in row] for row in sheet.iter_rows()]
    assert sheet.freeze_panes == "A2"
    assert len(rows) == len(table) == len(protocols) + 1, (len(rows), len(table))
    assert rows[0] == table[0], (rows[0], table[0])
    numbers = 0
    for r, (csv_row, book_row) in enumerate(zip(table[1:], rows[1:]), start=2):
        assert len(book_row) == len(csv_row), r
        for column, text, value in zip(table[0], csv_row, book_row):
            where = f"row {r}, {column}"
            if column == "report file":
                text = text.replace(str(work / "a"), str(work / "b"))
            if text == "":
                assert value is None, (where, value)
            elif isinstance(value, (int, float)):
                numbers += 1
                # The workbook keeps 16 significant digits (the CSV the shortest exact text).
                assert float("%.16g" % float(text)) == value, (where, text, value)
                assert isinstance(value, int) == ("." not in text and "e" not in text), where
            else:
                assert value == text, (where, text, value)
                # A text that reads as a number would be a number stored as text.
                try:
                    float(text)
                    raise AssertionError((where, "number stored as text", text))
                except ValueError:
                    pass
    assert numbers > 100, numbers
    statuses = [row[-1] for row in rows[1:]]
    assert statuses.count("ok") == 7 and len(set(statuses)) == 3, statuses

    # Any other name writes the CSV, as before.
    other = run(batch, ["--out=" + str(work / "c"), "--summary=" + str(work / "s.txt")],
                protocols[:1])
    assert other.returncode == 0
    assert (work / "s.txt").read_text(encoding="utf-8").startswith("file,FileTag,subject,")


if __name__ == "__main__":
    main()
