#!/usr/bin/env python3
"""The work-curve columns of orvix-kl-batch --summary and the Welch comparisons of --compare,
recomputed here from the per-selection table (--points) and the header counts with Python's
statistics module; the t distribution by numerical integration of its density.

The work curve counts every selection in the five-second interval its own timer falls in
(interval ceil(timer / 5), at least 1; as many intervals as the latest timer's; a timer that did
not convert, -9999, in none), not in the interval the report counted it in.

With "pdf" last (a build with Qt), --compare --pdf must also write the comparison page.

usage: stats_check.py PROTOGEN BATCH WORKDIR [pdf]"""
import csv
import math
import pathlib
import re
import shutil
import statistics
import subprocess
import sys


def t_cdf(t, df):
    """P(T <= t): 1/2 plus the density integrated from 0 to t (Simpson's rule)."""
    c = math.exp(math.lgamma((df + 1) / 2) - math.lgamma(df / 2)) / math.sqrt(df * math.pi)
    f = lambda x: c * (1 + x * x / df) ** (-(df + 1) / 2)
    steps = 4000
    h = t / steps
    total = f(0) + f(t) + sum((4 if i % 2 else 2) * f(i * h) for i in range(1, steps))
    return 0.5 + total * h / 3


def t_quantile_975(df):
    low, high = 0.0, 64.0
    for _ in range(60):
        mid = (low + high) / 2
        if t_cdf(mid, df) < 0.975:
            low = mid
        else:
            high = mid
    return (low + high) / 2


def close(a, b):
    return math.isclose(a, b, rel_tol=1e-9, abs_tol=1e-9)


def work_curve(counts):
    """Trend, thirds ratio, tempo V and verdict of the selections per five-second interval."""
    n = len(counts)
    out = {}
    mean = statistics.fmean(counts) if n else 0
    tempo_v = 100 * statistics.stdev(counts) / mean if n >= 2 and mean > 0 else 0
    if n >= 3:
        x = [(i + 0.5) * 5 / 60 for i in range(n)]
        y = [12 * c for c in counts]
        slope, intercept = statistics.linear_regression(x, y)
        rss = sum((yi - intercept - slope * xi) ** 2 for xi, yi in zip(x, y))
        mean_x = statistics.fmean(x)
        sxx = sum((xi - mean_x) ** 2 for xi in x)
        half = t_quantile_975(n - 2) * math.sqrt(rss / (n - 2)) / math.sqrt(sxx)
        out["trend slope"], out["trend CI low"], out["trend CI high"] = (
            slope, slope - half, slope + half)
        # No trend when the whole interval changes the tempo over the test by at most a tenth
        # of its mean.
        band = 0.1 * 12 * mean / (n * 5 / 60)
        negligible = -band <= slope - half and slope + half <= band
        if slope + half < 0 and not negligible:
            out["work curve"] = "slowing"
        elif slope - half > 0 and not negligible:
            out["work curve"] = "speeding up"
        else:
            out["work curve"] = "unstable" if tempo_v > 50 else "steady"
    else:
        out["work curve"] = ""
    third = n // 3
    first = sum(counts[:third])
    if third and first:
        out["last/first third"] = sum(counts[n - third:]) / first
    if n:
        out["selections per minute"] = sum(counts) / (n * 5 / 60)
    return out


def timer_interval(timer):
    """The interval a timer falls in, None for one that did not convert or a damaged one."""
    if timer in ("", "-9999"):
        return None
    seconds = float(timer)
    if seconds > 5 * 100000:
        return None
    return max(1, math.ceil(seconds / 5))


def intervals_of(points_csv):
    """Selections per interval, each selection in the interval of its own timer."""
    with open(points_csv, newline="", encoding="utf-8") as f:
        found = [timer_interval(row["timer_s"]) for row in csv.DictReader(f)]
    found = [k for k in found if k is not None]
    counts = [0] * max(found, default=0)
    for k in found:
        counts[k - 1] += 1
    return counts


def search_times(points_csv):
    with open(points_csv, newline="", encoding="utf-8") as f:
        return [float(row["search_time_s"]) for row in csv.DictReader(f)]


def check_welch(line, earlier, later):
    """One printed comparison: means, difference, interval, p and df, to their printed digits."""
    numbers = [float(v) for v in re.findall(r"-?\d+\.\d+", line.split(":", 1)[1])]
    m1, m2 = statistics.mean(earlier), statistics.mean(later)
    v1, v2 = statistics.variance(earlier) / len(earlier), statistics.variance(later) / len(later)
    se = math.sqrt(v1 + v2)
    df = (v1 + v2) ** 2 / (v1 * v1 / (len(earlier) - 1) + v2 * v2 / (len(later) - 1))
    half = t_quantile_975(df) * se
    t = (m2 - m1) / se
    p = 2 * (1 - t_cdf(abs(t), df))
    expected = [m1, m2, m2 - m1, m2 - m1 - half, m2 - m1 + half, p, df]
    assert len(numbers) == len(expected), (line, numbers)
    for got, want, digits in zip(numbers, expected, [3, 3, 3, 3, 3, 3, 1]):
        assert abs(got - want) <= 0.5 * 10 ** -digits + 1e-9, (line, got, want)


def main():
    protogen, batch, work = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
    shutil.rmtree(work, ignore_errors=True)
    # Whole tests of either separator and sparse ones of little over a minute.
    subprocess.run([protogen, "--seed=61", "--count=5", str(work / "in")], check=True)
    subprocess.run([protogen, "--seed=71", "--count=2", "--decimal=,", str(work / "in")],
                   check=True)
    subprocess.run([protogen, "--seed=81", "--selections=13", "--seconds=80", str(work / "in")],
                   check=True)
    subprocess.run([protogen, "--seed=91", "--selections=4", "--seconds=62", str(work / "in")],
                   check=True)
    protocols = sorted(str(p) for p in (work / "in").glob("*.klp"))
    summary = work / "summary.csv"
    moved = 0  # records the report counts in another interval than their timer's
    for decimal in (".", ","):
        shutil.rmtree(work / "out", ignore_errors=True)
        # A protocol whose separator is not the run's fails; the others must be checked.
        subprocess.run([batch, "--decimal=" + decimal, "--points", "--out=" + str(work / "out"),
                        "--summary=" + str(summary), *protocols], stderr=subprocess.DEVNULL)
        with open(summary, newline="", encoding="utf-8") as f:
            rows = [r for r in csv.DictReader(f) if r["status"] == "ok"]
        assert len(rows) == len(protocols) - (2 if decimal == "." else 7), (decimal, rows)
        for r in rows:
            where = r["file"]
            table = r["report file"][:-len(" KL.txt")] + " KL.csv"
            counts = intervals_of(table)
            with open(table, newline="", encoding="utf-8") as f:
                moved += sum(row["interval"] != str(timer_interval(row["timer_s"]))
                             for row in csv.DictReader(f))
            want = work_curve(counts)
            plus, omit, wrong = int(r["N+"]), int(r["Nomit"]), int(r["Nwrong"])
            if plus + omit > 0:
                want["accuracy"] = plus / (plus + omit)
            if plus + wrong > 0:
                want["wrong share"] = wrong / (plus + wrong)
            for key in ["accuracy", "wrong share", "selections per minute", "trend slope",
                        "trend CI low", "trend CI high", "last/first third"]:
                if key not in want:
                    assert r[key] == "", (where, key, r[key])
                else:
                    assert close(float(r[key]), want[key]), (where, key, r[key], want[key])
            assert r["work curve"] == want["work curve"], (where, r["work curve"], want)
    # The protocols tell the two attributions apart, so the old one cannot pass.
    assert moved > 0, moved

    # The retest: the first two whole tests (decimal ".").
    first, second = protocols[0], protocols[1]
    shutil.rmtree(work / "out", ignore_errors=True)
    subprocess.run([batch, "--decimal=.", "--points", "--out=" + str(work / "out"),
                    "--summary=" + str(summary), first, second], check=True)
    with open(summary, newline="", encoding="utf-8") as f:
        rows = list(csv.DictReader(f))
    tables = [r["report file"][:-len(" KL.txt")] + " KL.csv" for r in rows]
    pdf = sys.argv[4:] == ["pdf"]
    compare = [batch, "--decimal=.", "--compare=" + first, "--out=" + str(work / "page"), second]
    text = subprocess.run(compare + (["--pdf"] if pdf else []), check=True,
                          capture_output=True).stdout.decode("utf-8")
    if pdf:
        pages = list((work / "page").glob("* KL.compare.pdf"))
        assert len(pages) == 1 and pages[0].read_bytes().startswith(b"%PDF"), pages
    lines = {l.split(":", 1)[0]: l for l in text.splitlines() if ":" in l}
    check_welch(lines["Время поиска, с"], search_times(tables[0]), search_times(tables[1]))
    counts = [intervals_of(t) for t in tables]
    check_welch(lines["Темп, выборов за 5 с"], counts[0], counts[1])


if __name__ == "__main__":
    # The integration itself against printed t tables.
    for df, t in [(1, 12.7062047), (2, 4.30265273), (3, 3.18244631), (10, 2.22813885)]:
        assert abs(t_quantile_975(df) - t) < 1e-6, (df, t_quantile_975(df))
    main()
