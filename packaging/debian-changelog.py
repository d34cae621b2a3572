#!/usr/bin/env python3
"""Writes the Debian changelog of the package from the AppStream release notes.

    debian-changelog.py METAINFO PACKAGE MAINTAINER OUTPUT

The release notes are kept once, in the metainfo file; the package carries them in
the form Debian tools read (newest release first, one entry per release).
"""
import datetime
import email.utils
import sys
import textwrap
import xml.etree.ElementTree as ET


def text_of(element):
    return " ".join("".join(element.itertext()).split())


XML_LANG = "{http://www.w3.org/XML/1998/namespace}lang"


def entry_lines(release):
    lines = []
    description = release.find("description")
    items = [] if description is None else list(description)
    # The changelog is in English: translated paragraphs stay in the metainfo.
    for item in (i for i in items if XML_LANG not in i.attrib):
        texts = [text_of(item)] if item.tag == "p" else [text_of(li) for li in item.findall("li")]
        for text in texts:
            lines += textwrap.wrap(text, width=76, initial_indent="  * ", subsequent_indent="    ")
    return lines or ["  * Release " + release.get("version") + "."]


def main(metainfo, package, maintainer, output):
    releases = ET.parse(metainfo).getroot().findall("./releases/release")
    if not releases:
        sys.exit(f"{metainfo}: no <release> to write a changelog from")
    entries = []
    for release in releases:
        day = datetime.date.fromisoformat(release.get("date"))
        moment = datetime.datetime(day.year, day.month, day.day, tzinfo=datetime.timezone.utc)
        entries.append("\n".join(
            [f"{package} ({release.get('version')}) stable; urgency=medium", ""]
            + entry_lines(release)
            + ["", f" -- {maintainer}  {email.utils.format_datetime(moment)}"]))
    with open(output, "w", encoding="utf-8") as out:
        out.write("\n\n".join(entries) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
