#!/usr/bin/env python3
"""Turn `applywright-probe posting` output into the corpus scorer's predictions.

usage: applywright-probe posting FILE... | probe-to-predictions.py [--with-suggestions | --as-drafted] > predictions.jsonl
       python3 ../shared/corpus/score.py ../shared/corpus/postings predictions.jsonl

Each probe line {"source": "pub-001.png", "posting": {...}, "suggestions": {...}}
becomes {"id": "pub-001", "company": ..., "position": ..., ...} with each field's
value (or null). With --with-suggestions a field takes the suggestion's value
wherever one is offered, as a person clicking every suggestion on the review
sheet would. With --as-drafted each field takes the value the review sheet starts
with (the probe's "draft"), as a person who changes nothing would add it. A file the probe could not read becomes an id with no fields, which
the scorer counts as "no value" everywhere. Standard library only.
"""

import argparse
import json
import sys

FIELDS = ["company", "position", "workModel", "location", "postingLink"]


def sample_id(source):
    for suffix in (".lines.json", ".txt", ".png", ".jpg", ".jpeg", ".tif", ".tiff"):
        if source.lower().endswith(suffix):
            return source[: -len(suffix)]
    return source.rsplit(".", 1)[0]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--with-suggestions", action="store_true",
                        help="take each field's suggestion where the probe offers one")
    parser.add_argument("--as-drafted", action="store_true",
                        help="take the values the review sheet starts with")
    args = parser.parse_args()
    if args.with_suggestions and args.as_drafted:
        parser.error("--with-suggestions and --as-drafted exclude each other")
    for line in sys.stdin:
        line = line.strip()
        if not line:
            continue
        probe = json.loads(line)
        prediction = {"id": sample_id(probe["source"])}
        posting = probe.get("posting")
        drafted = probe.get("draft")
        if args.as_drafted and drafted is not None:
            for field in FIELDS:
                value = drafted.get(field)
                prediction[field] = value["value"] if isinstance(value, dict) else None
            prediction["board"] = drafted.get("board")
        elif posting is not None:
            for field in FIELDS:
                value = posting.get(field)
                prediction[field] = value["value"] if isinstance(value, dict) else None
            prediction["board"] = posting.get("board")
            if args.with_suggestions:
                for field, suggestion in (probe.get("suggestions") or {}).items():
                    prediction[field] = suggestion["value"]
        print(json.dumps(prediction, ensure_ascii=False))


if __name__ == "__main__":
    main()
