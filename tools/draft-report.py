#!/usr/bin/env python3
"""How right the review sheet's first answer is, and how right its "Confident" is.

usage: applywright-probe posting FILE... > probe.jsonl
       draft-report.py ../shared/corpus/postings probe.jsonl [--misses]

For each field: accuracy of the parser's rules alone, of the values the review sheet
starts with ("as drafted", what one press of Return would add), and with every
suggestion taken; then, of the fields the sheet shows as "Confident" (confidence
high in the probe's "draft"), how many are wrong. Fields compared with the corpus
scorer's own comparison (score.py, found beside TRUTH_DIR). Inputs the sheet would
mark "This does not look like a job posting." are listed. Standard library only.
"""

import argparse
import importlib.util
import json
import os
import sys

FIELDS = ["company", "position", "workModel", "location", "postingLink", "board"]
# The fields that carry a confidence word on the sheet.
WORDED = ["company", "position", "workModel", "postingLink"]


def load_tool(name):
    """A script of this folder as a module (their names have hyphens)."""
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
    spec = importlib.util.spec_from_file_location(name.replace("-", "_").removesuffix(".py"), path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


# The scorer's loading and the sample names are suggestion-report's.
suggestion_report = load_tool("suggestion-report.py")
load_scorer = suggestion_report.load_scorer
sample_id = suggestion_report.sample_id


def value_of(field):
    return field["value"] if isinstance(field, dict) else None


def readings(probe):
    """The three predictions of one probe line: rules, as drafted, every suggestion taken."""
    posting, draft, suggestions = probe["posting"], probe["draft"], probe.get("suggestions") or {}
    rules = {f: value_of(posting.get(f)) for f in FIELDS if f != "board"}
    rules["board"] = posting.get("board")
    taken = dict(rules)
    for field, suggestion in suggestions.items():
        taken[field] = suggestion["value"]
    drafted = {f: value_of(draft.get(f)) for f in FIELDS if f != "board"}
    drafted["board"] = draft.get("board")
    return rules, drafted, taken


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("truth_dir")
    parser.add_argument("probe")
    parser.add_argument("--misses", action="store_true", help="list every wrong field as drafted")
    args = parser.parse_args()
    scorer = load_scorer(args.truth_dir)
    truth = scorer.load_truth(args.truth_dir)

    right = {kind: {f: 0 for f in FIELDS} for kind in ("rules", "drafted", "taken")}
    confident = {f: [0, 0] for f in WORDED}
    rows = [0, 0]
    samples, not_postings, misses = 0, [], []
    with open(args.probe, encoding="utf-8") as f:
        for line in f:
            probe = json.loads(line)
            sid = sample_id(probe["source"])
            if sid not in truth or "draft" not in probe:
                continue
            samples += 1
            if probe["draft"].get("notAPosting"):
                not_postings.append(sid)
            for kind, prediction in zip(("rules", "drafted", "taken"), readings(probe)):
                for field in FIELDS:
                    ok = scorer.match(field, truth[sid].get(field), prediction[field])
                    right[kind][field] += ok
                    if kind == "drafted" and not ok:
                        misses.append((sid, field, prediction[field], truth[sid].get(field)))
            row_right = True
            for field in WORDED:
                shown = probe["draft"].get(field)
                ok = scorer.match(field, truth[sid].get(field), value_of(shown))
                row_right = row_right and ok
                if isinstance(shown, dict) and shown["confidence"] == "high":
                    confident[field][0] += 1
                    confident[field][1] += not ok
            if probe["draft"].get("overall") == "high":
                rows[0] += 1
                rows[1] += not row_right

    def pct(n, d):
        return f"{n / d * 100:5.1f} %" if d else "    –"

    print(f"{samples} samples")
    print(f"{'field':<12} {'rules':>8} {'drafted':>8} {'taken':>8}   {'Confident':>9} {'wrong':>6}")
    for field in FIELDS:
        shown, wrong = confident.get(field, [None, None])
        tail = f"   {shown:>9} {wrong:>6}" if shown is not None else ""
        print(f"{field:<12} " + " ".join(f"{pct(right[k][field], samples):>8}" for k in ("rules", "drafted", "taken"))
              + tail)
    total = samples * len(FIELDS)
    shown = sum(c[0] for c in confident.values())
    wrong = sum(c[1] for c in confident.values())
    print(f"{'overall':<12} " + " ".join(f"{pct(sum(right[k].values()), total):>8}" for k in ("rules", "drafted", "taken"))
          + f"   {shown:>9} {wrong:>6}  ({pct(wrong, shown).strip()} of fields shown Confident are wrong)")
    print(f"rows shown Confident: {rows[0]}, with a wrong field among those shown: {rows[1]}")
    print(f"marked not a posting: {len(not_postings)}" + (f" ({', '.join(not_postings)})" if not_postings else ""))
    if args.misses:
        print()
        for sid, field, predicted, expected in misses:
            print(f"{sid} {field:<12} {predicted!r} (truth {expected!r})")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except BrokenPipeError:  # output piped into head and the like
        sys.stderr.close()
        sys.exit(0)
