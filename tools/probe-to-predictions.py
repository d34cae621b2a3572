#!/usr/bin/env python3
"""Turn `applywright-probe posting` output into the corpus scorer's predictions.

usage: applywright-probe posting FILE... | probe-to-predictions.py > predictions.jsonl
       python3 ../shared/corpus/score.py ../shared/corpus/postings predictions.jsonl

Each probe line {"source": "pub-001.png", "posting": {...}} becomes
{"id": "pub-001", "company": ..., "position": ..., ...} with each field's value (or
null). A file the probe could not read becomes an id with no fields, which the
scorer counts as "no value" everywhere. Standard library only.
"""

import json
import sys

FIELDS = ["company", "position", "workModel", "location", "postingLink"]


def sample_id(source):
    for suffix in (".lines.json", ".txt", ".png", ".jpg", ".jpeg", ".tif", ".tiff"):
        if source.lower().endswith(suffix):
            return source[: -len(suffix)]
    return source.rsplit(".", 1)[0]


def main():
    for line in sys.stdin:
        line = line.strip()
        if not line:
            continue
        probe = json.loads(line)
        prediction = {"id": sample_id(probe["source"])}
        posting = probe.get("posting")
        if posting is not None:
            for field in FIELDS:
                value = posting.get(field)
                prediction[field] = value["value"] if isinstance(value, dict) else None
            prediction["board"] = posting.get("board")
        print(json.dumps(prediction, ensure_ascii=False))


if __name__ == "__main__":
    main()
