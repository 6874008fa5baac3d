#!/usr/bin/env python3
"""Checks `pylar run --json` and `pylar batch --csv` against the report of the
same run, for every sample.

Usage: check_json.py PYLAR FOLDER...   (the samples: every .pq8d of the folders)

Each sample is copied into a temporary folder and run once with --json. The
JSON must parse, carry the run's exit status, and agree with the report the
run wrote beside it: per case the stem diameter, every capacity row (each
column as printed), the pier length; the side resistance of the layers adds
up to QS at the stopping depth; the load-settlement curves the report prints
(top load and top movement of every point, in order, the rock socket's last)
are the curves the JSON marks as printed. The report is read here on its own
terms; the JSON comes from the engine's values, not from the report.

Then every sample is run again by one `pylar batch --csv`: each row of the
summary holds, as text, what the report prints for its case: stem and base
diameter, pier length, and QS, QB (WT), QU and QDN or LRFD QU (and QU/VOLUME
under ASD) of the case's last capacity row.
"""
import csv
import json
import math
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

NUMBER = re.compile(r"-?\d*\.\d+(?:E[+-]\d\d)?|-?\d+\.?")


def numbers(line):
    return [float(t) for t in NUMBER.findall(line)]


def report_cases(lines):
    """Per CASE ANALYZED block: stem, table rows (lists of floats or None), length."""
    cases = []
    k = 0
    while k < len(lines):
        if "- CASE ANALYZED" in lines[k]:
            case = {"stem": None, "rows": [], "length": None, "text": {"rows": []}}
            k += 1
            while k < len(lines) and "- CASE ANALYZED" not in lines[k] and "MOST EFFICIENT" not in lines[k]:
                line = lines[k]
                if "DIAMETER OF STEM" in line and case["stem"] is None:
                    case["text"]["stem"] = line.split("=")[1].split()[0]
                    case["stem"] = float(case["text"]["stem"])
                elif "DIAMETER OF BASE" in line and "base" not in case["text"]:
                    case["text"]["base"] = line.split("=")[1].split()[0]
                elif re.match(r"\s+\((FT|\s*M\s*)\)\s", line):
                    k += 1
                    while k < len(lines) and lines[k].strip():
                        fields = lines[k].split()
                        case["rows"].append([None if "*" in f else float(f) for f in fields])
                        case["text"]["rows"].append(fields)
                        k += 1
                    continue
                elif "PYLAR LENGTH              =" in line:
                    case["text"]["length"] = line.split("=")[1].split()[0]
                    case["length"] = float(case["text"]["length"])
                k += 1
            cases.append(case)
            continue
        k += 1
    return cases


def report_curves(lines):
    """The blocks of (top load, top movement) of the AXIAL LOAD VS SETTLEMENT section."""
    blocks = []
    inside = False
    for line in lines:
        if "AXIAL LOAD VS SETTLEMENT CURVES" in line:
            inside = True
            continue
        if not inside:
            continue
        if "TOP  LOAD" in line:
            blocks.append([])
            continue
        tokens = line.split()
        if blocks and len(tokens) == 2 and all(re.fullmatch(r"-?\d\.\d{4}E[+-]\d\d", t) for t in tokens):
            blocks[-1].append((float(tokens[0]), float(tokens[1])))
        elif blocks and tokens and tokens[0] not in ("TONS", "kN"):
            inside = False
    return [b for b in blocks if b]


def close(a, b, tolerance):
    return a is not None and b is not None and abs(a - b) <= tolerance


def check(project, pylar, failures):
    name = project.name
    run = subprocess.run([pylar, "run", "--json", str(project)], capture_output=True, timeout=600)
    try:
        data = json.loads(run.stdout.decode("utf-8"))
    except ValueError as e:
        failures.append(f"{name}: stdout is not JSON: {e}")
        return
    if data["status"] != run.returncode:
        failures.append(f"{name}: JSON status {data['status']} but exit status {run.returncode}")
    results = data["results"]
    if results is None:
        failures.append(f"{name}: no results")
        return
    report = pathlib.Path(data["report"]).read_text(encoding="utf-8", errors="replace").splitlines()
    cases = report_cases(report)
    piers = results["piers"]
    if len(cases) != len(piers):
        failures.append(f"{name}: {len(piers)} piers in JSON, {len(cases)} cases in the report")
        return
    if results["methods"] not in ("1999", "2018"):
        failures.append(f"{name}: methods {results['methods']!r}")
    lrfd = results["design"] == "LRFD"
    uplift = results["loading"] == "uplift"
    base = "WT" if uplift else "QB"
    columns = ["length", "volume", "QS", base, "QU"] + (
        ["LRFD QS", "LRFD WT" if uplift else "LRFD QB", "LRFD QU"] if lrfd else ["QBD", "QDN", "QU/VOLUME"])
    decimals = 2 if results["units"] == "SI" else 1
    for number, (pier, case) in enumerate(zip(piers, cases), start=1):
        where = f"{name} case {number}"
        if pier["case"] != number:
            failures.append(f"{where}: numbered {pier['case']}")
        if pier["stem"] != case["stem"]:
            failures.append(f"{where}: stem {pier['stem']} against {case['stem']}")
        if pier["length"] != case["length"]:
            failures.append(f"{where}: length {pier['length']} against {case['length']}")
        if len(pier["rows"]) != len(case["rows"]):
            failures.append(f"{where}: {len(pier['rows'])} rows against {len(case['rows'])}")
            continue
        for row, printed in zip(pier["rows"], case["rows"]):
            values = [row[c] for c in columns]
            if len(printed) != len(values) or any(p is not None and p != v for p, v in zip(printed, values)):
                failures.append(f"{where}: row {values} against the report's {printed}")
                break
        if pier["rows"] and not close(pier["rows"][-1]["length"], pier["length"], 0.05):
            failures.append(f"{where}: the last row is not at the pier length")
        layers = pier["sideByLayer"]
        if pier["rows"]:
            total = sum(layer["QS"] for layer in layers)
            # Each layer's value is rounded to the printed decimals.
            tolerance = 0.5 * 10 ** -decimals * (len(layers) + 1)
            if not close(total, pier["rows"][-1]["QS"], tolerance):
                failures.append(f"{where}: layers give QS {total}, the row {pier['rows'][-1]['QS']}")
        if any(layer["layer"] < 1 for layer in layers) or len({layer["layer"] for layer in layers}) != len(layers):
            failures.append(f"{where}: layer numbers {[layer['layer'] for layer in layers]}")

    printed = [[(p["topLoad"], p["topMovement"]) for p in curve["points"]]
               for pier in piers for curve in pier["loadSettlement"] if curve["inReport"]]
    if results["rockSocket"] is not None:
        printed.append([(p["topLoad"], p["topMovement"]) for p in results["rockSocket"]["points"]])
        chosen = piers[results["rockSocket"]["pier"] - 1]
        if not chosen["mostEfficient"]:
            failures.append(f"{name}: the rock socket's pier is not the most efficient")
    expected = report_curves(report)
    if printed != expected:
        failures.append(f"{name}: {len(printed)} curves in JSON, {len(expected)} in the report, or their points differ")
    if sum(1 for pier in piers if pier["mostEfficient"]) > 1:
        failures.append(f"{name}: more than one most efficient pier")
    for pier in piers:
        for curve in pier["loadSettlement"]:
            if any(not math.isfinite(v) for p in curve["points"] for v in p.values() if v is not None):
                failures.append(f"{name}: a load-settlement value is not finite")


def check_csv(copies, pylar, folder, failures):
    """Runs every copy in one batch with --csv; returns the number of values compared."""
    summary = pathlib.Path(folder) / "summary.csv"
    subprocess.run([pylar, "batch", "--csv", str(summary)] + [str(c) for c in copies], capture_output=True,
                   timeout=1200)
    if not summary.exists():
        failures.append("batch --csv wrote no summary")
        return 0
    with open(summary, newline="", encoding="utf-8") as f:
        rows = list(csv.DictReader(f))
    compared = 0
    for copy in copies:
        name = copy.name
        report = copy.with_suffix(".pq8o").read_text(encoding="utf-8", errors="replace").splitlines()
        cases = report_cases(report)
        mine = [r for r in rows if r["project"] == str(copy)]
        if len(mine) != len(cases):
            failures.append(f"{name}: {len(mine)} summary rows, {len(cases)} cases in the report")
            continue
        for row, case in zip(mine, cases):
            where = f"{name} case {row['case']} (summary)"
            text = case["text"]
            if not text["rows"]:
                failures.append(f"{where}: no capacity rows in the report")
                continue
            last = text["rows"][-1]
            lrfd = row["design"] == "LRFD"
            expected = {"stem": text.get("stem"), "base": text.get("base"), "length": text.get("length"),
                        "QS": last[2], "QB/WT": last[3], "QU": last[4],
                        "allowable/LRFD": last[7] if lrfd else last[6]}
            if not lrfd:
                expected["QU/volume"] = last[7]
            for column, printed in expected.items():
                if printed is None or "*" in printed:
                    continue
                compared += 1
                if row[column] != printed:
                    failures.append(f"{where}: {column} {row[column]!r}, the report prints {printed!r}")
    return compared


def main():
    pylar, folders = sys.argv[1], [pathlib.Path(f) for f in sys.argv[2:]]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        samples = sorted(s for f in folders for s in f.glob("*.pq8d"))
        if not samples:
            print(f"no samples in {' '.join(str(f) for f in folders)}")
            return 1
        copies = []
        for sample in samples:
            copy = pathlib.Path(folder) / sample.name
            shutil.copy(sample, copy)
            copies.append(copy)
            check(copy, pylar, failures)
        compared = check_csv(copies, pylar, folder, failures)
    for f in failures:
        print(f)
    print(f"{len(samples)} samples checked, {compared} summary values compared, {len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
