#!/usr/bin/env python3
"""Local norms from the archive recomputed with Python's statistics module.

Generated protocols are scanned into an archive; `orvix-kl-archive export` gives their rows
and `local-norms` builds norm tables from all of them, from a date range and from two
examinees. Each table's n, mean, SD, percentiles (statistics.quantiles, method="inclusive")
and date range must equal what is computed here from the exported rows that the same
selection picks.

usage: local_norms_check.py PROTOGEN ORVIX_KL_ARCHIVE WORK_DIR"""
import csv
import math
import pathlib
import shutil
import statistics
import subprocess
import sys

INDICES = ["N+", "Nomit", "Nwrong", "impulsivity", "search mean", "search SD", "search V",
           "tempo mean", "tempo SD", "tempo V", "accuracy", "wrong share",
           "selections per minute", "trend slope", "last/first third"]
RANKS = [2, 5, 10, 16, 25, 50, 75, 84, 90, 95, 98]


def close(a, b):
    # The table's numbers have 10 significant digits.
    return math.isclose(a, b, rel_tol=1e-9, abs_tol=1e-12)


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f))


def fold(name):
    return " ".join(name.lower().replace("ё", "е").split())


def check(tool, db, work, label, options, rows):
    out = work / (label + ".csv")
    subprocess.run([tool, db, "local-norms", "--out=" + str(out), *options], check=True,
                   stdout=subprocess.DEVNULL)
    built = {r["index"]: r for r in read_csv(out)}
    dates = sorted(r["test date"] for r in rows if r["test date"])
    for index in INDICES:
        values = [float(r[index]) for r in rows if r[index] != ""]
        if len(values) < 2 or statistics.stdev(values) == 0:
            assert index not in built, (label, index)
            continue
        row = built[index]
        assert int(row["n"]) == len(values), (label, index, row["n"], len(values))
        assert close(float(row["mean"]), statistics.fmean(values)), (label, index, row["mean"])
        assert close(float(row["sd"]), statistics.stdev(values)), (label, index, row["sd"])
        cuts = statistics.quantiles(values, n=100, method="inclusive")
        for rank in RANKS:
            assert close(float(row["p%d" % rank]), cuts[rank - 1]), (label, index, rank)
        assert (row["date_from"], row["date_to"]) == (dates[0], dates[-1]), (label, row)
    assert len(built) >= 12, (label, sorted(built))
    return len(rows)


def main():
    protogen, tool, work = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
    shutil.rmtree(work, ignore_errors=True)
    subprocess.run([protogen, "--seed=213", "--count=60", str(work / "in")], check=True)
    # Read with "." these fail: the export has them, the norms must not.
    subprocess.run([protogen, "--seed=214", "--count=3", "--decimal=,", str(work / "in")],
                   check=True)
    db = "--db=" + str(work / "archive.db")
    subprocess.run([tool, db, "--decimal=.", "scan", str(work / "in")],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    exported = work / "rows.csv"
    subprocess.run([tool, db, "export", str(exported)])
    every = read_csv(exported)
    rows = [r for r in every if r["status"] == "ok"]
    assert len(rows) == 60 and len(every) == 63, (len(rows), len(every))

    check(tool, db, work, "all", [], rows)

    dates = sorted(r["test date"] for r in rows)
    start, end = dates[len(dates) // 4], dates[3 * len(dates) // 4]
    ranged = [r for r in rows if start <= r["test date"] <= end]
    assert 10 < check(tool, db, work, "range", ["--from=" + start, "--to=" + end], ranged) < 60

    # The examinees with the most tests, named as a user might type them.
    counts = {}
    for r in rows:
        counts[r["examinee"]] = counts.get(r["examinee"], 0) + 1
    chosen = sorted(counts, key=lambda name: -counts[name])[:3]
    picked = [r for r in rows if fold(r["examinee"]) in {fold(n) for n in chosen}]
    typed = ";".join(n.upper() for n in chosen)
    assert len(picked) >= 4, counts
    check(tool, db, work, "examinees", ["--examinees=" + typed], picked)


if __name__ == "__main__":
    main()
