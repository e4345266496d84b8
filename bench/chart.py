#!/usr/bin/python3
"""Draws the table bench/run.sh writes (pairs.tsv) as a PNG: patch size against apply time,
one panel per file pair, one colour and marker per tool.

    bench/chart.py bench/results/pairs.tsv bench/results/chart.png
    bench/chart.py bench/results/pairs.tsv docs/benchmarks.png

Each pair gets its own panel because patch sizes and apply times differ by orders of
magnitude between a 69 MB library and a 20 KB changelog; within a panel the tools compare
on one scale.

Ours replaces each file durably; the peers only write their output. Where the table has a
peer's apply with its output synced (apply_synced_s), the panel draws it as a hollow marker
joined to the peer's plain apply, so that ours is compared with both. Tables of earlier runs,
without that column, draw as before.
"""
import csv
import math
import sys
from collections import OrderedDict

import matplotlib

matplotlib.use("Agg")  # draws to a file; no display needed
import matplotlib.pyplot as plt  # noqa: E402  (the backend must be chosen first)
from matplotlib.lines import Line2D  # noqa: E402
from matplotlib.ticker import FuncFormatter, LogLocator, NullFormatter  # noqa: E402

# Tools bench/run.sh knows, in the legend's order. A tool not listed still gets drawn,
# with a colour and marker of its own from FALLBACK_STYLES.
TOOL_STYLES = OrderedDict(
    [
        ("ours", ("ours (mkpatch / fpatch)", "#d62728", "o")),
        ("xdelta3-9", ("xdelta3 -9 -S none", "#1f77b4", "s")),
        ("xdelta3", ("xdelta3 (default)", "#17becf", "D")),
        ("bsdiff", ("bsdiff / bspatch", "#2ca02c", "^")),
        ("zstd-19", ("zstd -19 --patch-from", "#9467bd", "v")),
        ("zstd-3", ("zstd -3 --patch-from", "#ff7f0e", "P")),
    ]
)
FALLBACK_STYLES = [("#8c564b", "X"), ("#e377c2", "*"), ("#7f7f7f", "h"), ("#bcbd22", "<")]

SYNCED_LABEL = "hollow: a peer's output synced, as ours always is"

COLUMNS = 3
PANEL_INCHES = (4.6, 3.6)
# /usr/bin/time counts hundredths of a second.
TIMER_RESOLUTION_S = 0.01


def read_table(path):
    """Rows of pairs.tsv grouped by pair: packages in the order the run measured them, the
    largest file of each first."""
    pairs = OrderedDict()
    with open(path, newline="") as table:
        for row in csv.DictReader(table, delimiter="\t"):
            key = (row["package"], row["pair"])
            pairs.setdefault(key, {"old_bytes": int(row["old_bytes"]), "tools": []})
            pairs[key]["tools"].append(
                (row["tool"], int(row["patch_bytes"]), float(row["apply_s"]), synced_apply(row))
            )
    package_order = list(OrderedDict.fromkeys(package for package, _ in pairs))
    return OrderedDict(
        sorted(pairs.items(),
               key=lambda item: (package_order.index(item[0][0]), -item[1]["old_bytes"]))
    )


def synced_apply(row):
    """The apply time with the output synced, or None where the table has none or where it is
    the plain apply itself (ours, which syncs what it writes)."""
    synced = row.get("apply_synced_s") or ""
    if not synced or float(synced) == float(row["apply_s"]):
        return None
    return float(synced)


def style_of(tool, styles):
    if tool not in styles:
        colour, marker = FALLBACK_STYLES[(len(styles) - len(TOOL_STYLES)) % len(FALLBACK_STYLES)]
        styles[tool] = (tool, colour, marker)
    return styles[tool]


def readable_bytes(count):
    for unit, size in (("GB", 1e9), ("MB", 1e6), ("KB", 1e3)):
        if count >= size:
            return f"{count / size:.3g} {unit}"
    return f"{count:.0f} B"


def draw_panel(axes, package, pair, entry, styles):
    for tool, patch_bytes, apply_s, synced_s in entry["tools"]:
        label, colour, marker = style_of(tool, styles)
        axes.scatter(apply_s, patch_bytes, s=70, c=colour, marker=marker, label=label,
                     edgecolors="black", linewidths=0.5, zorder=3)
        if synced_s is not None:
            axes.plot([apply_s, synced_s], [patch_bytes, patch_bytes], color=colour,
                      linewidth=1, alpha=0.7, zorder=2)
            axes.scatter(synced_s, patch_bytes, s=70, facecolors="none", edgecolors=colour,
                         marker=marker, linewidths=1.2, zorder=3)
    axes.set_title(f"{pair} ({readable_bytes(entry['old_bytes'])})\n{package}", fontsize=10)
    axes.set_yscale("log")
    sizes = [patch_bytes for _, patch_bytes, _, _ in entry["tools"]]
    # At least one decade shown, so that a panel whose tools nearly agree does not magnify
    # a few per cent into the whole height.
    low, high = math.log10(min(sizes)), math.log10(max(sizes))
    middle, half = (low + high) / 2, max((high - low) / 2 * 1.25, 0.5)
    axes.set_ylim(10 ** (middle - half), 10 ** (middle + half))
    axes.yaxis.set_major_locator(LogLocator(subs=(1.0, 2.0, 5.0)))
    axes.yaxis.set_major_formatter(FuncFormatter(lambda value, _: readable_bytes(value)))
    axes.yaxis.set_minor_formatter(NullFormatter())
    slowest = max(max(apply_s, synced_s or 0) for _, _, apply_s, synced_s in entry["tools"])
    # A panel of small files would otherwise stretch one tick of the timer across the
    # whole width; the margin keeps markers at zero off the axis.
    right = max(slowest * 1.15, 5 * TIMER_RESOLUTION_S)
    axes.set_xlim(-0.04 * right, right)
    if slowest <= TIMER_RESOLUTION_S:
        axes.text(0.97, 0.95, f"every apply took {TIMER_RESOLUTION_S} s or less\n"
                  "(the timer's resolution)", transform=axes.transAxes, ha="right",
                  va="top", fontsize=8, color="dimgray")
    axes.set_xlabel("apply time (s, fastest of the runs; hollow: output synced)", fontsize=9)
    axes.set_ylabel("patch size (log scale)", fontsize=9)
    axes.tick_params(labelsize=8)
    axes.grid(True, which="major", linestyle="-", alpha=0.35)
    axes.grid(True, which="minor", linestyle=":", alpha=0.25)


def draw(pairs, out_path):
    rows = math.ceil(len(pairs) / COLUMNS)
    columns = min(COLUMNS, len(pairs))
    figure, grid = plt.subplots(rows, columns, squeeze=False,
                                figsize=(PANEL_INCHES[0] * columns, PANEL_INCHES[1] * rows + 1.0))
    styles = OrderedDict(TOOL_STYLES)
    panels = [axes for row in grid for axes in row]
    for axes, ((package, pair), entry) in zip(panels, pairs.items()):
        draw_panel(axes, package, pair, entry, styles)
    for axes in panels[len(pairs):]:
        axes.set_visible(False)

    handles = {}
    for axes in panels[: len(pairs)]:
        for handle, label in zip(*axes.get_legend_handles_labels()):
            handles.setdefault(label, handle)
    ordered = [label for label, _, _ in styles.values() if label in handles]
    legend_handles = [handles[label] for label in ordered]
    if any(synced_s is not None for entry in pairs.values() for *_, synced_s in entry["tools"]):
        ordered.append(SYNCED_LABEL)
        legend_handles.append(Line2D([], [], linestyle="none", marker="o", markersize=8,
                                     markerfacecolor="none", markeredgecolor="black"))
    figure.legend(legend_handles, ordered, loc="lower center",
                  ncol=min(len(ordered), 7), fontsize=9, frameon=False)
    figure.suptitle("Patch size against apply time, each tool on each file pair (lower left is better)",
                    fontsize=12)
    figure.tight_layout(rect=(0, 0.06, 1, 0.97))
    # No software version or date in the file: the same table draws the same bytes.
    figure.savefig(out_path, dpi=110, metadata={"Software": None})


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: chart.py PAIRS.TSV OUT.PNG\n")
        return 2
    pairs = read_table(argv[1])
    if not pairs:
        sys.stderr.write(f"chart.py: {argv[1]} holds no results\n")
        return 1
    draw(pairs, argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
