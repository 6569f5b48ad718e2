#!/usr/bin/env python3
"""Local norms and norm scores recomputed independently with Python's statistics module.

Protocols from the generator go through orvix-kl-batch --summary; the probe builds local norms
from the summary's rows, which must equal n, mean, stdev and quantiles(method="inclusive") of
each index computed here; then the probe scores every row against those norms (mean and SD)
and against a table of percentiles only with reliabilities, which must equal z, T, percentile
(NormalDist, or linear interpolation in the table), stanine, sten and the band computed here.

usage: norms_check.py PROTOGEN BATCH PROBE WORKDIR"""
import bisect
import csv
import math
import pathlib
import shutil
import statistics
import subprocess
import sys

INDICES = {"N+": "higher", "Nomit": "lower", "Nwrong": "lower", "impulsivity": "lower",
           "search mean": "lower", "search SD": "lower", "search V": "lower",
           "tempo mean": "higher", "tempo SD": "lower", "tempo V": "lower",
           "accuracy": "higher", "wrong share": "lower", "selections per minute": "higher",
           "trend slope": "higher", "last/first third": "higher"}
RANKS = [2, 5, 10, 16, 25, 50, 75, 84, 90, 95, 98]
NORMAL = statistics.NormalDist()


def close(a, b, digits=1e-9):
    return math.isclose(a, b, rel_tol=digits, abs_tol=1e-12)


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f))


def number(text):
    return float(text) if text != "" else None


def table_percentile(points, x):
    """Linear interpolation in (value, rank) points; 1 below and 99 above; ties: mid rank."""
    if x < points[0]:
        return 1.0
    if x > points[-1]:
        return 99.0
    equal = [r for v, r in zip(points, RANKS) if v == x]
    if equal:
        return (equal[0] + equal[-1]) / 2
    k = max(i for i, v in enumerate(points) if v < x)
    return RANKS[k] + (RANKS[k + 1] - RANKS[k]) * (x - points[k]) / (points[k + 1] - points[k])


def expected_score(row, x):
    lower = row["direction"] == "lower"
    z = percentile = None
    if row["mean"] != "":
        z = (x - float(row["mean"])) / float(row["sd"])
        z = -z if lower else z
    if row["p2"] != "":
        raw = table_percentile([float(row["p%d" % r]) for r in RANKS], x)
        percentile = 100 - raw if lower else raw
        if z is None:
            z = NORMAL.inv_cdf(percentile / 100)
    else:
        percentile = 100 * NORMAL.cdf(z)
    t = 50 + 10 * z
    stanine = 1 + bisect.bisect_right([-1.75, -1.25, -0.75, -0.25, 0.25, 0.75, 1.25, 1.75], z)
    sten = 1 + bisect.bisect_right([-2, -1.5, -1, -0.5, 0, 0.5, 1, 1.5, 2], z)
    band = None
    if row["reliability"] != "":
        half = 1.96 * 10 * math.sqrt(1 - float(row["reliability"]))
        band = (t - half, t + half)
    return z, t, percentile, stanine, sten, band


def check_scores(probe, norms, norm_rows, summary_rows, summary):
    """The probe's scores from the file `norms`, whose rows by index are `norm_rows`."""
    got = subprocess.run([probe, "scores", str(norms), str(summary)], check=True,
                         capture_output=True, text=True).stdout.splitlines()
    scores = {(r["file"], r["index"]): r for r in csv.DictReader(got)}
    assert len(scores) == len(summary_rows) * len(norm_rows), (len(scores), len(norm_rows))
    checked = 0
    for s in summary_rows:
        for index, row in norm_rows.items():
            score = scores[(s["file"], index)]
            x = number(s[index])
            if x is None:
                assert score["z"] == "" and score["T"] == "", score
                continue
            z, t, percentile, stanine, sten, band = expected_score(row, x)
            assert close(float(score["z"]), z), (index, score["z"], z)
            assert close(float(score["T"]), t), (index, score["T"], t)
            assert close(float(score["percentile"]), percentile), (index, score, percentile)
            assert int(score["stanine"]) == stanine and int(score["sten"]) == sten, (score, z)
            if band is None:
                assert score["band_low"] == "", score
            else:
                assert close(float(score["band_low"]), band[0]), (score, band)
                assert close(float(score["band_high"]), band[1]), (score, band)
            small = int(row["n"]) < 30
            assert score["warnings"] == ("1" if small else ""), score
            checked += 1
    return checked


def main():
    protogen, batch, probe, work = sys.argv[1:4] + [pathlib.Path(sys.argv[4])]
    shutil.rmtree(work, ignore_errors=True)
    subprocess.run([protogen, "--seed=211", "--count=40", str(work / "in")], check=True)
    # A few short and sparse tests, so that some figures are missing or extreme.
    subprocess.run([protogen, "--seed=212", "--count=3", "--selections=9", "--seconds=70",
                    str(work / "in")], check=True)
    protocols = sorted(str(p) for p in (work / "in").glob("*.klp"))
    summary = work / "summary.csv"
    subprocess.run([batch, "--decimal=.", "--out=" + str(work / "out"),
                    "--summary=" + str(summary), *protocols], check=True)
    rows = [r for r in read_csv(summary) if r["status"] == "ok"]
    assert len(rows) == len(protocols), len(rows)

    local = work / "local.csv"
    subprocess.run([probe, "local", str(summary), str(local)], check=True)
    built = {r["index"]: r for r in read_csv(local)}
    for index, direction in INDICES.items():
        values = [float(r[index]) for r in rows if r[index] != ""]
        if len(values) < 2 or statistics.stdev(values) == 0:
            assert index not in built, index
            continue
        row = built[index]
        assert row["direction"] == direction and row["sex"] == "any", row
        assert int(row["n"]) == len(values), (index, row["n"], len(values))
        assert close(float(row["mean"]), statistics.fmean(values)), (index, row["mean"])
        assert close(float(row["sd"]), statistics.stdev(values)), (index, row["sd"])
        cuts = statistics.quantiles(values, n=100, method="inclusive")
        for rank in RANKS:
            assert close(float(row["p%d" % rank]), cuts[rank - 1]), (index, rank)
    assert len(built) >= 12, sorted(built)

    # Scores against the local norms (mean and SD), then against a table of their percentiles
    # only, with reliabilities and a small group.
    checked = check_scores(probe, local, built, rows, summary)
    # The same as a Russian spreadsheet saves it: ";" between fields, "," decimals.
    table = work / "percentiles.csv"
    changed = {}
    with open(table, "w", newline="", encoding="utf-8") as f:
        out = csv.DictWriter(f, fieldnames=list(built["N+"].keys()), delimiter=";")
        out.writeheader()
        for i, (index, r) in enumerate(built.items()):
            changed[index] = dict(r, mean="", sd="", reliability="%.2f" % (0.5 + i / 40),
                                  n=str(20 + i))
            out.writerow({k: v.replace(".", ",") for k, v in changed[index].items()})
    checked += check_scores(probe, table, changed, rows, summary)
    assert checked > 500, checked


if __name__ == "__main__":
    main()
