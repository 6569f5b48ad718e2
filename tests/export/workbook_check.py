#!/usr/bin/env python3
"""The workbook writer's file read back with openpyxl: header, cell types and values, the
frozen header row, the filter and the column widths.

usage: workbook_check.py WORKBOOK_SAMPLE WORKDIR"""
import pathlib
import shutil
import subprocess
import sys

import openpyxl


def main():
    sample, work = sys.argv[1], pathlib.Path(sys.argv[2])
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    target = work / "summary.xlsx"
    target.write_bytes(b"an earlier file")
    subprocess.run([sample, str(target)], check=True)
    # Written atomically: only the workbook is left in the folder.
    assert [p.name for p in work.iterdir()] == ["summary.xlsx"], list(work.iterdir())

    book = openpyxl.load_workbook(target)
    assert book.sheetnames == ["Сводка"], book.sheetnames
    sheet = book.active
    rows = [[c.value for c in row] for row in sheet.iter_rows()]
    assert rows[0] == ["file", "FileTag", "N+", "impulsivity", "accuracy", "empty", "status"]
    assert all(c.font.b for c in sheet[1]), "header not bold"
    assert rows[1] == ["in/a,b \"q\".klp", "Кузнецов Е.В., 10.03.2026", 42, 0.1, 0.6666666667,
                       None, "ok"], rows[1]
    assert rows[2][:6] == ["b.klp", None, -7, "inf", 123456.789, 0.3], rows[2]
    assert rows[2][6] == "x" * 32767, len(rows[2][6])
    assert rows[3] == ["c.klp", "tag", None, None, None, None, None], rows[3]
    # Numbers are numbers, not texts that look like them.
    assert sheet["C2"].data_type == "n" and isinstance(sheet["C2"].value, int)
    assert sheet["D2"].data_type == "n" and isinstance(sheet["D2"].value, float)
    assert sheet["E3"].data_type == "n"
    assert sheet["D3"].data_type == "s"

    assert sheet.freeze_panes == "A2", sheet.freeze_panes
    assert sheet.auto_filter.ref == "A1:G4", sheet.auto_filter.ref
    # (Stored widths carry the writer's padding of a fraction of a character.)
    widths = {k: int(d.width) for k, d in sheet.column_dimensions.items()}
    # From the content: the FileTag column fits its caption, the long text is held at the
    # widest, a short column keeps a readable least width.
    assert widths["B"] == len("Кузнецов Е.В., 10.03.2026") + 1, widths
    assert widths["G"] == 60, widths
    assert widths["C"] == 8, widths
    assert widths["E"] == len("0.6666666667") + 1, widths


if __name__ == "__main__":
    main()
