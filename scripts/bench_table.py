#!/usr/bin/env python3
"""Rewrites the figure and ratio columns of the README's benchmark table from a Google Benchmark JSON
run: each row names its benchmarks in backticks in its first column, and every run of those benchmarks
in the file gives its medians and anchor ratios. Rows whose benchmarks did not run stay as they are, and
the sentence under the table then names the rows of the partial run beside the date of the earlier one."""
import json
import re
import sys

TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
# Counters shown as figures, in this order, with their units; the ratios are every x_ counter.
WINDOW_FIGURES = [("first_ms", "ms first"), ("laid_ms", "ms laid out"), ("cpu_ms", "ms CPU"),
                  ("stall_ms", "ms stall"), ("mem_mb", "MB"), ("model_ms", "ms model")]
SKIPPED = {"median_ms", "median_us", "anchor_ms"}


def number(v):
    v = float(v)
    if abs(v) >= 100:
        return f"{v:,.0f}"
    if abs(v) >= 10:
        return f"{v:.1f}"
    return f"{v:.2f}"


def counters(run):
    fixed = {"name", "run_name", "run_type", "repetitions", "repetition_index", "threads", "iterations",
             "real_time", "cpu_time", "time_unit", "family_index", "per_family_instance_index",
             "aggregate_name", "aggregate_unit", "error_occurred", "error_message", "label"}
    return {k: v for k, v in run.items() if k not in fixed and isinstance(v, (int, float))}


def label(run):
    parts = run["name"].split("/")
    args = [p for p in parts[1:] if not p.startswith("iterations:") and p not in ("manual_time", "real_time")]
    return "/".join(args)


def describe(run):
    if run.get("error_occurred"):
        return "error: " + run.get("error_message", ""), ""
    c = counters(run)
    if "first_ms" in c:
        figure = ", ".join(f"{number(c[k])} {unit}" for k, unit in WINDOW_FIGURES if k in c)
        figure += f" (anchor {number(c['anchor_first_ms'])} ms first)" if "anchor_first_ms" in c else ""
    else:
        if "median_us" in c:
            figure = f"{number(c['median_us'])} µs"
        else:
            main = c.get("median_ms", run["real_time"] * TO_MS.get(run.get("time_unit", "ns"), 1e-6))
            figure = f"{number(main)} ms"
        if "anchor_us" in c:
            figure += f" (anchor {number(c['anchor_us'])} µs)"
        elif "anchor_ms" in c:
            figure += f" (anchor {number(c['anchor_ms'])} ms)"
        extra = [f"{k} {number(v)}" for k, v in c.items()
                 if k not in SKIPPED and not k.startswith("x_") and not k.startswith("anchor_")]
        if extra:
            figure += ", " + ", ".join(extra)
    ratio = ", ".join(f"`{k}` {v:.2f}" for k, v in c.items() if k.startswith("x_"))
    return figure, ratio


def main():
    run_file, readme = sys.argv[1], sys.argv[2]
    with open(run_file, encoding="utf-8") as f:
        data = json.load(f)
    runs = {}
    for run in data.get("benchmarks", []):
        if run.get("run_type", "iteration") != "iteration":
            continue
        runs.setdefault(run["name"].split("/")[0], []).append(run)
    with open(readme, encoding="utf-8") as f:
        lines = f.read().split("\n")
    out = []
    updated, kept = [], []
    for line in lines:
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        names = re.findall(r"`(BM_\w+)`", cells[0]) if line.startswith("| `BM_") and len(cells) == 5 else []
        mine = [(n, r) for n in names for r in runs.get(n, [])]
        (updated if mine else kept).extend(names)
        if mine:
            figures, ratios = [], []
            for name, run in mine:
                head = " ".join(p for p in ((name if len(names) > 1 else ""), label(run)) if p)
                figure, ratio = describe(run)
                figures.append(f"{head}: {figure}" if head else figure)
                if ratio:
                    ratios.append(f"{head}: {ratio}" if head else ratio)
            cells[3] = "; ".join(figures)
            cells[4] = "; ".join(ratios)
            line = "| " + " | ".join(cells) + " |"
        out.append(line)
    # The sentence that dates the figures: one run for the whole table, or the earlier run with the rows
    # of a partial run named after it.
    ctx = data.get("context", {})
    load = ctx.get("load_avg") or [0]
    for i, line in enumerate(out):
        if not line.startswith("The figures are from"):
            continue
        if not kept:
            out[i] = (f"The figures are from the run of {ctx.get('date', '?')} on this machine "
                      f"({ctx.get('num_cpus', '?')} cores, Release, load average {load[0]:.1f} at its start).")
        elif updated:
            # An earlier rerun no longer dates the rows this one gives anew.
            parts = line.rstrip(".").split("; ")
            kept_parts = parts[:1]
            for part in parts[1:]:
                named = [n for n in re.findall(r"`(BM_\w+)`", part) if n not in updated]
                if named:
                    rest = part[part.index(" from a rerun"):]
                    kept_parts.append(", ".join(f"`{n}`" for n in named) + rest)
            rows = ", ".join(f"`{n}`" for n in updated)
            out[i] = ("; ".join(kept_parts) + f"; {rows} from a rerun at {ctx.get('date', '?')} "
                      f"(load average {load[0]:.1f} at its start).")
    with open(readme, "w", encoding="utf-8") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main()
