#!/usr/bin/env python3
"""orvix-kl-batch --norms=FILE: the z, T and percentile columns recomputed from the summary's
own figures and the norm file with Python's statistics module; the other columns and messages
as without --norms; a parallel run writes what a sequential one writes; a bad norm file stops
the run with its one message and status 2; --compare gains the reliable change; with ARCHIVE
(orvix-kl-archive), --db scores each protocol for its examinee's sex and age at the test, as
the archive made by ARCHIVE has them.

usage: batch_norms_check.py PROTOGEN BATCH WORKDIR [ARCHIVE]"""
import csv
import math
import os
import pathlib
import shutil
import statistics
import subprocess
import sys

RANKS = [2, 5, 10, 16, 25, 50, 75, 84, 90, 95, 98]
PCOLS = ["p%d" % r for r in RANKS]
NORMAL = statistics.NormalDist()


def run(batch, args, protocols, workers=None):
    env = dict(os.environ)
    if workers:
        env["ORVIX_KL_WORKERS"] = str(workers)
    return subprocess.run([batch, "--decimal=.", *args, *map(str, protocols)], env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.reader(f))


def table_percentile(points, x):
    """The percentile rank of x among the table's points, as the README states it."""
    if x < points[0]:
        return 1.0
    if x > points[-1]:
        return 99.0
    equal = [k for k, p in enumerate(points) if p == x]
    if equal:
        return (RANKS[equal[0]] + RANKS[equal[-1]]) / 2
    k = max(k for k, p in enumerate(points) if p < x)
    return RANKS[k] + (RANKS[k + 1] - RANKS[k]) * (x - points[k]) / (points[k + 1] - points[k])


def scores(row, x):
    """(z, T, percentile) of figure x against a norm row (a dict of the file's fields)."""
    lower = row["direction"] == "lower"
    z = pct = None
    if row.get("mean"):
        mean, sd = float(row["mean"]), float(row["sd"])
        z = (mean - x) / sd if lower else (x - mean) / sd
    if row.get("p2"):
        raw = table_percentile([float(row[c]) for c in PCOLS], x)
        pct = 100 - raw if lower else raw
        if z is None:
            z = NORMAL.inv_cdf(pct / 100)
    elif z is not None:
        pct = 100 * NORMAL.cdf(z)
    return z, 50 + 10 * z, pct


def close(expected_at, x, written, where):
    """`written` (10 significant digits) against the figure recomputed from x, allowing for x
    itself being rounded to 10 significant digits in the summary."""
    values = [expected_at(x * (1 + d)) for d in (-6e-10, 0, 6e-10)]
    low, high = min(values), max(values)
    slack = 6e-10 * max(abs(low), abs(high)) + 1e-12
    assert low - slack <= written <= high + slack, (where, x, written, values)


def write_norms(path, rows):
    columns = ["norm_id", "version", "index", "sex", "age_from", "age_to", "group", "n", "mean",
               "sd", "direction", "reliability", "source", *PCOLS]
    with open(path, "w", newline="", encoding="utf-8") as f:
        w = csv.DictWriter(f, columns)
        w.writeheader()
        for r in rows:
            w.writerow({"norm_id": "t", "version": "1", "source": "проверка", **r})


def points_around(values, below, above):
    """A percentile table spread over `values`: its ends leave `below` values under p2 and
    `above` over p98, and one of its points is a value itself."""
    v = sorted(values)
    lo, hi = v[below], v[-1 - above]
    points = [lo + (hi - lo) * k / 10 for k in range(11)]
    inner = [x for x in v if points[2] < x < points[8]]
    points[5] = inner[len(inner) // 2]
    points[4] = min(points[4], points[5])
    points[6] = max(points[6], points[5])
    return sorted(points)


def main():
    protogen, batch, work = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
    shutil.rmtree(work, ignore_errors=True)
    subprocess.run([protogen, "--seed=71", "--count=24", str(work / "in")], check=True,
                   stdout=subprocess.DEVNULL)
    protocols = sorted((work / "in").glob("*.klp"))
    # A protocol that fails has no scores and no warnings.
    protocols.insert(3, work / "in" / "missing.klp")

    plain = run(batch, ["--out=" + str(work / "a"), "--summary=" + str(work / "a.csv")],
                protocols)
    assert plain.returncode == 1, plain
    base = read_csv(work / "a.csv")
    header, rows = base[0], base[1:]
    figures = [{c: v for c, v in zip(header, r)} for r in rows]
    ok = [f for f in figures if f["status"] == "ok"]

    def values(index):
        return [float(f[index]) for f in ok]

    acc = values("accuracy")
    spm = values("selections per minute")
    imp = values("impulsivity")
    nomit = values("Nomit")
    search = values("search mean")
    norm_rows = [
        # For anyone: what a run without examinee data uses.
        {"index": "accuracy", "sex": "any", "n": 50, "mean": repr(statistics.mean(acc)),
         "sd": repr(statistics.stdev(acc) * 1.3), "direction": "higher", "reliability": "0.8"},
        # Rows for an age, a sex or a group fit no examinee of whom nothing is known.
        {"index": "accuracy", "sex": "any", "age_from": 10, "age_to": 12, "n": 40, "mean": "0.5",
         "sd": "0.1", "direction": "higher"},
        {"index": "accuracy", "sex": "female", "n": 40, "mean": "0.5", "sd": "0.1",
         "direction": "higher"},
        {"index": "accuracy", "group": "4 класс", "n": 40, "mean": "0.5", "sd": "0.1",
         "direction": "higher"},
        {"index": "selections per minute", "n": 60, "mean": repr(statistics.mean(spm) + 3),
         "sd": repr(statistics.stdev(spm) * 2), "direction": "higher", "reliability": "0.85"},
        # Percentiles only, of a "lower" index, with values beyond both ends and on a point.
        {"index": "search mean", "n": 120, "direction": "lower",
         **dict(zip(PCOLS, map(repr, points_around(search, 2, 3))))},
        # Both: z from mean and SD, the percentile from the table.
        {"index": "impulsivity", "n": 80, "mean": repr(statistics.mean(imp)),
         "sd": repr(statistics.stdev(imp)), "direction": "lower",
         **dict(zip(PCOLS, map(repr, points_around(imp, 1, 1))))},
        # A whole-number index with tied points, from a small group.
        {"index": "Nomit", "n": 25, "direction": "lower",
         **dict(zip(PCOLS, map(repr, sorted(statistics.quantiles(nomit, n=100,
                                                                   method="inclusive")[r - 1]
                                            for r in RANKS))))},
        # Only an age group: no row fits an examinee of unknown age.
        {"index": "tempo V", "age_from": 7, "age_to": 9, "n": 45, "mean": "30", "sd": "12",
         "direction": "lower"},
    ]
    write_norms(work / "norms.csv", norm_rows)
    by_index, first_line = {}, {}
    for line, r in enumerate(norm_rows, start=2):
        by_index.setdefault(r["index"], r)
        first_line.setdefault(r["index"], line)
    indices = list(by_index)
    usable = {i: r for i, r in by_index.items()
              if not r.get("age_from") and r.get("sex", "any") == "any" and not r.get("group")}

    args = ["--out=" + str(work / "b"), "--summary=" + str(work / "b.csv"),
            "--norms=" + str(work / "norms.csv")]
    normed = run(batch, args, protocols, workers=1)
    assert normed.returncode == 1, normed
    table = read_csv(work / "b.csv")
    norm_columns = [f"{i} {s}" for i in indices for s in ("z", "T", "percentile")]
    at = header.index("report file")
    assert table[0] == header[:at] + norm_columns + header[at:], table[0]
    checked = 0
    for r, (plain_row, row) in enumerate(zip(rows, table[1:]), start=2):
        cells = dict(zip(table[0], row))
        # Everything else is what the run without norms wrote.
        assert row[:at] + row[at + len(norm_columns):] == [
            c.replace(str(work / "a"), str(work / "b")) for c in plain_row], r
        for index in indices:
            written = [cells[f"{index} {s}"] for s in ("z", "T", "percentile")]
            if index not in usable or cells["status"] != "ok":
                assert written == ["", "", ""], (r, index, written)
                continue
            x = float(cells[index])
            for k, text in enumerate(written):
                assert len(text.replace("-", "").replace(".", "").lstrip("0")) <= 10, text
                close(lambda v: scores(usable[index], v)[k], x, float(text), (r, index, k))
                checked += 1
    assert checked == 3 * len(usable) * len(ok), checked

    # The run's messages: those of the run without norms, and two warnings, each told once,
    # with the first protocol it concerns, in the order of the table's indices.
    first = str(protocols[0])
    plain_err = plain.stderr.decode().replace(str(work / "a"), str(work / "b")).splitlines()
    lines = normed.stderr.decode().splitlines()
    warnings = [w for w in lines if w not in plain_err]
    assert [w for w in lines if w in plain_err] == plain_err, lines
    assert len(warnings) == 2, warnings
    assert warnings[0].startswith(first + ": нормы, «Nomit»: ") and "n = 25" in warnings[0] \
        and "строка %d " % first_line["Nomit"] in warnings[0], warnings
    assert warnings[1].startswith(first + ": нормы: нет нормы") and "«tempo V»" in warnings[1], \
        warnings

    # Worker threads change nothing of what is written.
    args[0:2] = ["--out=" + str(work / "c"), "--summary=" + str(work / "c.csv")]
    parallel = run(batch, args, protocols, workers=3)
    assert parallel.returncode == 1
    assert parallel.stderr == normed.stderr, parallel.stderr
    assert (work / "c.csv").read_text().replace(str(work / "c"), str(work / "b")) == \
        (work / "b.csv").read_text()

    # A bad norm file: its one message, status 2, nothing written.
    bad = norm_rows[:5] + [{**norm_rows[4], "index": "tempo mean", "sd": "0"}]
    write_norms(work / "bad.csv", bad)
    refused = run(batch, ["--out=" + str(work / "d"), "--summary=" + str(work / "d.csv"),
                          "--norms=" + str(work / "bad.csv")], protocols)
    assert refused.returncode == 2, refused
    assert refused.stderr.decode() == \
        f"{work / 'bad.csv'}: Строка 7, столбец 10 («sd»): sd должно быть больше 0, а не «0»\n", \
        refused.stderr.decode()
    assert not (work / "d").exists() and not (work / "d.csv").exists()
    missing = run(batch, ["--out=" + str(work / "d"), "--norms=" + str(work / "none.csv")],
                  protocols)
    assert missing.returncode == 2 and missing.stderr.decode().count("\n") == 1, missing
    assert missing.stderr.decode().startswith(str(work / "none.csv") + ": ")
    assert not (work / "d").exists()

    # --compare: the comparison without norms with one more paragraph, the reliable change by
    # the same formula.
    earlier, later = ok[0], ok[1]
    pair = ["--compare=" + earlier["file"], later["file"]]
    without = run(batch, pair, [])
    with_norms = run(batch, ["--norms=" + str(work / "norms.csv"), *pair], [])
    assert without.returncode == with_norms.returncode == 0, with_norms
    text = with_norms.stdout.decode()
    start = text.index("Надёжность изменения по нормам")
    end = text.index("\n\n", start) + 2
    assert text[:start] + text[end:] == without.stdout.decode(), text
    extra = text[start:end]
    changes = {}
    for line in extra.splitlines():
        if ", индекс " in line:
            caption, rest = line.split(": ", 1)
            changes[caption] = float(rest.split(", индекс ")[1].split(",")[0])
    expected = {}
    captions = {"accuracy": "Доля найденных целей",
                "selections per minute": "Выборов в минуту"}
    for index, caption in captions.items():
        row = usable[index]
        error = math.sqrt(2) * float(row["sd"]) * math.sqrt(1 - float(row["reliability"]))
        expected[caption] = (float(later[index]) - float(earlier[index])) / error
    assert changes.keys() == expected.keys(), (changes, extra)
    for caption, value in expected.items():
        assert abs(changes[caption] - value) <= 0.005 + 1e-9, (caption, changes, value)
    if len(sys.argv) > 4:
        check_archive(batch, sys.argv[4], work, [pathlib.Path(f["file"]) for f in ok[:4]])
    print(f"{checked} scores of {len(ok)} protocols checked")


def check_archive(batch, tool, work, sources):
    """Four protocols of four examinees in an archive: a girl of 11, a boy of 15, one whose
    data nobody gave and one the archive never saw; and a copy of the girl's at another path,
    which the archive knows by its content."""
    folder = work / "archived"
    folder.mkdir()
    for p in sources[:3]:
        shutil.copy(p, folder / p.name)
    db = str(work / "archive.db")
    subprocess.run([tool, "--db=" + db, "--decimal=.", "scan", str(folder)], check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run([tool, "--db=" + db, "export", str(work / "archive.csv")], check=True)
    with open(work / "archive.csv", newline="", encoding="utf-8") as f:
        tests = {row["file"]: row for row in csv.DictReader(f)}
    people = {row["examinee"]: int(row["test date"][:4]) for row in tests.values()}
    girl, boy = sorted(people)[:2]
    # The examinees' data go in through the corrections' text, as a user's would.
    subprocess.run([tool, "--db=" + db, "export-corrections", str(work / "c.txt")], check=True)
    lines = (work / "c.txt").read_text(encoding="utf-8").split("\n")
    for k, line in enumerate(lines):
        f = line.split("\t")
        if f[0] == "examinee" and f[2] in (girl, boy):
            sex, age = ("female", 11) if f[2] == girl else ("male", 15)
            lines[k] = "\t".join(f[:3] + [f"{people[f[2]] - age}-01-01", sex, ""])
    (work / "c.txt").write_text("\n".join(lines), encoding="utf-8")
    subprocess.run([tool, "--db=" + db, "import-corrections", str(work / "c.txt")], check=True)

    rows = [
        {"index": "accuracy", "n": 50, "mean": "0.9", "sd": "0.05", "direction": "higher"},
        {"index": "accuracy", "age_from": 10, "age_to": 12, "n": 40, "mean": "0.8", "sd": "0.1",
         "direction": "higher"},
        {"index": "accuracy", "sex": "female", "age_from": 10, "age_to": 12, "n": 40,
         "mean": "0.7", "sd": "0.1", "direction": "higher"},
        {"index": "selections per minute", "age_from": 10, "age_to": 12, "n": 40, "mean": "45",
         "sd": "12", "direction": "higher"},
    ]
    write_norms(work / "ages.csv", rows)
    protocols = [folder / p.name for p in sources[:3]] + [sources[3]]
    (work / "moved").mkdir()
    girls = next(p for p in protocols[:3] if tests[str(p)]["examinee"] == girl)
    protocols.append(shutil.copy(girls, work / "moved" / "copy.klp"))
    result = run(batch, ["--out=" + str(work / "e"), "--summary=" + str(work / "e.csv"),
                       "--norms=" + str(work / "ages.csv"), "--db=" + db], protocols)
    assert result.returncode == 0, result
    table = read_csv(work / "e.csv")
    summary = [dict(zip(table[0], r)) for r in table[1:]]
    who = [tests[str(p)]["examinee"] for p in protocols[:3]] + [None, girl]
    for cells, person in zip(summary, who):
        acc, spm = float(cells["accuracy"]), float(cells["selections per minute"])
        # Girl: her own row; boy: accuracy for any age, tempo for the nearest age group; the
        # others: the rows for anyone, so no tempo norm.
        acc_row = rows[2] if person == girl else rows[0]
        spm_row = rows[3] if person in (girl, boy) else None
        for index, row, x in (("accuracy", acc_row, acc), ("selections per minute", spm_row, spm)):
            written = [cells[f"{index} {s}"] for s in ("z", "T", "percentile")]
            if row is None:
                assert written == ["", "", ""], (person, index, written)
                continue
            for k, text in enumerate(written):
                close(lambda v: scores(row, v)[k], x, float(text), (person, index, k))
    told = result.stderr.decode().splitlines()
    boy_file = str(protocols[who.index(boy)])
    assert any(t.startswith(boy_file + ": нормы, «selections per minute»: возраст 15 вне")
               for t in told), told
    assert sum("нет нормы" in t for t in told) == 1, told


if __name__ == "__main__":
    main()
