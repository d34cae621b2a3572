#!/usr/bin/env python3
"""Score `applywright-probe mail` output against a mail corpus's truth.

usage: applywright-probe mail --store STORE.json FILE... | tools/mail-score.py TRUTH.json

TRUTH.json maps each message's source ("t01-….eml", "inbox.mbox#2") to
{"kind", "status", "match", "rejectionReason", "date"}: the status a person would set
(null when nothing should change), the application's backup id (null when it is not
in the list or nothing in the message says which), the reason the message gives and
its date (ISO 8601 UTC).

A proposal is a probe line with a status. It is right when both its status and its
match are the truth's. A proposal is due where the truth has a status and a match.
Prints one Markdown table; exits 1 when a message of the truth has no probe line.
Standard library only.
"""

import json
import sys


def pct(part, whole):
    return "—" if whole == 0 else "%.1f %%" % (100.0 * part / whole)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    truth = json.load(open(sys.argv[1], encoding="utf-8"))
    probe = {}
    for line in sys.stdin:
        line = line.strip()
        if line:
            row = json.loads(line)
            if row.get("match"):
                row["match"] = row["match"].lower()
            probe[row["source"]] = row

    missing = sorted(set(truth) - set(probe))
    made = right = due = found = 0
    from_other = kinds = dates = failures = 0
    reasons_due = reasons_right = 0
    wrong = []
    for source, want in sorted(truth.items()):
        if want.get("match"):
            want = dict(want, match=want["match"].lower())
        got = probe.get(source)
        if got is None:
            continue
        if "error" in got:
            failures += 1
            wrong.append("%s: could not be read (%s)" % (source, got["error"]))
            continue
        kinds += got["kind"] == want["kind"]
        dates += got.get("date") == want["date"]
        if got.get("date") != want["date"]:
            wrong.append("%s: date %s, truth %s" % (source, got.get("date"), want["date"]))
        is_due = want["status"] is not None and want["match"] is not None
        due += is_due
        if got["status"] is not None:
            made += 1
            ok = got["status"] == want["status"] and got["match"] == want["match"]
            right += ok
            found += ok and is_due
            from_other += want["kind"] == "other"
            if not ok:
                wrong.append("%s: proposed %s for %s, truth %s for %s" % (
                    source, got["status"], got["match"], want["status"], want["match"]))
        elif is_due:
            wrong.append("%s: no proposal (kind %s, match %s), truth %s for %s" % (
                source, got["kind"], got["match"], want["status"], want["match"]))
        if want["kind"] == "rejection" and want["rejectionReason"] is not None:
            reasons_due += 1
            reasons_right += got.get("rejectionReason") == want["rejectionReason"]
        if got["kind"] != want["kind"]:
            wrong.append("%s: kind %s, truth %s" % (source, got["kind"], want["kind"]))

    read = len(truth) - len(missing) - failures
    print("| measure | count | share |")
    print("|---|---|---|")
    print("| messages | %d | |" % len(truth))
    print("| read | %d | %s |" % (read, pct(read, len(truth))))
    print("| kind right | %d | %s |" % (kinds, pct(kinds, read)))
    print("| proposals made | %d | |" % made)
    print("| proposals right (application and status) | %d | %s of made |" % (right, pct(right, made)))
    print("| proposals due | %d | |" % due)
    print("| due and proposed right | %d | %s of due |" % (found, pct(found, due)))
    print("| proposals from mail not about an application | %d | |" % from_other)
    print("| dates right (to the second) | %d | %s |" % (dates, pct(dates, read)))
    print("| rejection reasons right, where the message gives one | %d | %s |" % (
        reasons_right, pct(reasons_right, reasons_due)))
    for line in wrong:
        print("  - " + line, file=sys.stderr)
    for source in missing:
        print("  - %s: no probe line" % source, file=sys.stderr)
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
