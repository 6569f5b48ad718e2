#!/usr/bin/env python3
"""The archive's workbook export read back with openpyxl against its CSV export of the same
archive: the same header and rows, numbers stored as numbers with the CSV's values, texts as
texts, empty cells empty, the header row frozen, the file readable by its owner only.

usage: export_xlsx_check.py PROTOGEN ORVIX_KL_ARCHIVE WORK_DIR
"""
import csv
import math
import os
import shutil
import stat
import subprocess
import sys

import openpyxl


def main():
    protogen, tool, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    data = os.path.join(work, "data")
    subprocess.run([protogen, "--count=25", data], check=True)
    # Read with "." these fail, as the Data command fails on them: rows with a message.
    subprocess.run([protogen, "--count=2", "--seed=90", "--decimal=,", data], check=True)
    db = "--db=" + os.path.join(work, "archive.db")
    subprocess.run([tool, db, "--decimal=.", "scan", data], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    csv_path = os.path.join(work, "rows.csv")
    xlsx_path = os.path.join(work, "rows.xlsx")
    for target in (csv_path, xlsx_path):
        status = subprocess.run([tool, db, "export", target]).returncode
        assert status == 1, f"export with failed protocols exits with 1, not {status}"

    with open(csv_path, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    sheet = openpyxl.load_workbook(xlsx_path).active
    cells = [list(r) for r in sheet.iter_rows(values_only=True)]
    assert sheet.freeze_panes == "A2", sheet.freeze_panes
    assert cells[0] == rows[0], (cells[0], rows[0])
    assert len(cells) == len(rows) == 28, (len(cells), len(rows))
    numbers = 0
    failed = 0
    for text_row, cell_row in zip(rows[1:], cells[1:]):
        assert len(cell_row) == len(text_row)
        failed += text_row[-1] != "ok"
        for name, text, cell in zip(rows[0], text_row, cell_row):
            where = f"{text_row[0]} / {name}"
            if text == "":
                assert cell is None, where
                continue
            try:
                value = float(text)
                is_number = name not in ("file", "examinee", "test date", "FileTag", "subject",
                                         "status", "orientation", "work curve")
            except ValueError:
                is_number = False
            if is_number:
                assert isinstance(cell, (int, float)) and not isinstance(cell, bool), where
                assert math.isclose(cell, value, rel_tol=1e-15, abs_tol=0), (where, cell, text)
                numbers += 1
            else:
                assert cell == text, (where, cell, text)
    assert failed == 2, failed
    assert numbers > 25 * 15, numbers
    for path in (csv_path, xlsx_path):
        mode = stat.S_IMODE(os.stat(path).st_mode)
        assert mode == 0o600, (path, oct(mode))
    print(f"{len(rows) - 1} rows, {numbers} numbers: the workbook matches the CSV")


if __name__ == "__main__":
    main()
