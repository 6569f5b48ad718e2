#!/usr/bin/env python3
"""orvix-kl-batch --points: the table read with Python's csv module and compared with the
protocol's own record columns, read here from the generator's plain text.

usage: points_csv_check.py PROTOGEN BATCH WORKDIR"""
import csv
import math
import pathlib
import re
import shutil
import subprocess
import sys


def main():
    protogen, batch, work = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
    shutil.rmtree(work, ignore_errors=True)
    args = ["--seed=47", "--decimal=,"]
    subprocess.run([protogen, *args, "--plain", str(work / "plain")], check=True)
    subprocess.run([protogen, *args, str(work / "in")], check=True)
    protocol = next((work / "in").glob("*.klp"))
    # Two protocols with the same tag: the second one's files carry a number.
    twin = work / "in" / "twin.klp"
    shutil.copy(protocol, twin)
    subprocess.run([batch, "--decimal=,", "--points", "--out=" + str(work / "out"),
                    str(protocol), str(twin)], check=True, stderr=subprocess.DEVNULL)

    lines = next((work / "plain").glob("*.klp")).read_bytes().decode("cp1251").split("\r\n")
    count = int(lines[24])
    omissions = int(lines[12])
    records = lines[27:27 + count]

    tables = sorted((work / "out").glob("*.csv"))
    names = [t.name for t in tables]
    assert len(tables) == 2 and any(" (2) KL.csv" in n for n in names), names
    # Each report has its table beside it, under the same stem.
    for t in tables:
        assert t.with_name(t.name[:-len(" KL.csv")] + " KL.txt").exists(), t

    first = tables[0].read_bytes()
    assert first == tables[1].read_bytes()
    with open(tables[0], newline="", encoding="utf-8") as f:
        reader = csv.reader(f, strict=True)
        header = next(reader)
        rows = list(reader)
    assert header == ["record", "ring", "timer_s", "search_time_s", "correct", "interval",
                      "omissions_attributed", "timer_error"], header
    assert len(rows) == count, (len(rows), count)

    previous = 1
    attributed = 0
    for n, (row, record) in enumerate(zip(rows, records), start=1):
        where = f"record {n}: {row} / {record!r}"
        assert int(row[0]) == n, where
        assert int(row[1]) == int(record[0:8]), where
        # "." decimals whatever the protocol and the separator used, as many as the protocol's
        # fields carry: tenths for the timer, thousandths for the search time.
        assert re.fullmatch(r"-?\d+\.\d", row[2]), where
        assert re.fullmatch(r"-?\d+\.\d{3}", row[3]), where
        assert row[7] == "", where
        assert math.isclose(float(row[2]), float(record[8:15]), rel_tol=1e-12), where
        assert math.isclose(float(row[3]), float(record[15:28].replace(",", ".")),
                            rel_tol=1e-12), where
        assert row[4] == ("1" if record[30:31] == "+" else "0"), where
        interval = int(row[5])
        # Intervals run from 1 and advance by at most one per record; a record never lies
        # before its interval.
        assert interval in (previous, previous + 1), where
        assert float(row[2]) > 5 * (interval - 1) or interval == 1, where
        previous = interval
        assert row[6] in ("0", "1"), where
        attributed += int(row[6])
    assert 0 < attributed <= omissions, (attributed, omissions)
    print(f"{count} rows, {previous} intervals, {attributed} of {omissions} omissions attributed")


if __name__ == "__main__":
    main()
