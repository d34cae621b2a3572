#!/usr/bin/env python3
"""Fills resources/translations/applywright_en.ts, the English plural forms.

The English texts are the sources and need no translation, except where a count
decides the grammar: the source is the plural ("Waiting %n days"), the first
form below the singular. Run scripts/update-translations (which calls this).
"""
import sys
import xml.etree.ElementTree as ET

SINGULAR = {
    "Waiting %n days": "Waiting %n day",
    "Closed in %n days": "Closed in %n day",
    "%n days": "%n day",
    "Add %n Applications": "Add %n Application",
}


def main(path):
    tree = ET.parse(path)
    missing = []
    for message in tree.getroot().iter("message"):
        source = message.find("source").text or ""
        translation = message.find("translation")
        forms = translation.findall("numerusform")
        if source in SINGULAR and len(forms) == 2:
            forms[0].text = SINGULAR[source]
            forms[1].text = source
            translation.attrib.pop("type", None)
        else:
            missing.append(source)
    tree.write(path, encoding="utf-8", xml_declaration=True)
    for source in missing:
        print("no English plural forms:", source, file=sys.stderr)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/translations/applywright_en.ts")
