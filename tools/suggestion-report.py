#!/usr/bin/env python3
"""What the import's suggestions did to a scored corpus, field by field and source by source.

usage: applywright-probe posting FILE... > probe.jsonl
       suggestion-report.py ../shared/corpus/postings probe.jsonl [--misses]

Each suggestion of the probe output is compared, with the corpus scorer's own
comparison (score.py, found beside TRUTH_DIR), against the truth: did it fix a
wrong value ("fixed"), replace a right value with a wrong one ("broke"), replace
a wrong value with another wrong one ("still wrong"), or offer another spelling of
a right value ("respelled")? The last line gives the share of suggestions that
replaced a value that was already right. Standard library only.
"""

import argparse
import collections
import importlib.util
import json
import os
import sys

FIELDS = ["company", "position", "workModel", "location", "board"]
OUTCOMES = ["fixed", "broke", "still wrong", "respelled"]


def load_scorer(truth_dir):
    path = os.path.join(os.path.dirname(os.path.abspath(truth_dir)), "score.py")
    spec = importlib.util.spec_from_file_location("score", path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def sample_id(source):
    for suffix in (".lines.json", ".txt", ".png", ".jpg", ".jpeg"):
        if source.lower().endswith(suffix):
            return source[: -len(suffix)]
    return source.rsplit(".", 1)[0]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("truth_dir")
    parser.add_argument("probe")
    parser.add_argument("--misses", action="store_true", help="list every suggestion that did not fix a value")
    args = parser.parse_args()
    scorer = load_scorer(args.truth_dir)
    truth = scorer.load_truth(args.truth_dir)

    by_field = collections.defaultdict(collections.Counter)
    by_source = collections.defaultdict(collections.Counter)
    listed = []
    with open(args.probe, encoding="utf-8") as f:
        for line in f:
            probe = json.loads(line)
            sid = sample_id(probe["source"])
            if sid not in truth or "posting" not in probe:
                continue
            posting = probe["posting"]
            for field, suggestion in (probe.get("suggestions") or {}).items():
                if field == "board":
                    before = posting.get("board")
                else:
                    value = posting.get(field)
                    before = value["value"] if isinstance(value, dict) else None
                was_right = scorer.match(field, truth[sid].get(field), before)
                is_right = scorer.match(field, truth[sid].get(field), suggestion["value"])
                outcome = ("respelled" if is_right else "broke") if was_right else ("fixed" if is_right else "still wrong")
                by_field[field][outcome] += 1
                by_source[suggestion.get("source", "?")][outcome] += 1
                if outcome != "fixed":
                    listed.append((sid, field, outcome, before, suggestion["value"], truth[sid].get(field)))

    def table(title, groups):
        print(f"{title:<12} {'offered':>8} " + " ".join(f"{o:>12}" for o in OUTCOMES))
        total = collections.Counter()
        for key in sorted(groups):
            counts = groups[key]
            total.update(counts)
            print(f"{key:<12} {sum(counts.values()):>8} " + " ".join(f"{counts[o]:>12}" for o in OUTCOMES))
        print(f"{'all':<12} {sum(total.values()):>8} " + " ".join(f"{total[o]:>12}" for o in OUTCOMES))
        return total

    total = table("field", by_field)
    print()
    table("source", by_source)
    offered = sum(total.values())
    replaced_right = total["broke"] + total["respelled"]
    if offered:
        print(f"\nreplaced a value that was already right: {replaced_right}/{offered} "
              f"({replaced_right / offered * 100:.1f}%), of which made it wrong: {total['broke']}/{offered} "
              f"({total['broke'] / offered * 100:.1f}%)")
    if args.misses:
        print()
        for sid, field, outcome, before, after, expected in listed:
            print(f"{sid} {field:<10} {outcome:<12} {before!r} -> {after!r} (truth {expected!r})")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except BrokenPipeError:  # output piped into head and the like
        sys.stderr.close()
        sys.exit(0)
