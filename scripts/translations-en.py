#!/usr/bin/env python3
"""Fills resources/translations/applywright_en.ts, the English plural forms.

The English texts are the sources and need no translation, except where a count
decides the grammar: the source is the plural ("Waiting %n days"), the first
form below the singular. Run scripts/update-translations (which calls this).
"""
import sys

import tsfill

SINGULAR = {
    "Waiting %n days": "Waiting %n day",
    "Closed in %n days": "Closed in %n day",
    "%n days": "%n day",
    "Add %n Applications": "Add %n Application",
    "Discard %n reviewed postings?": "Discard %n reviewed posting?",
    "Apply %n Changes": "Apply %n Change",
    "%n applications at %1; nothing in the message says which":
        "%n application at %1; nothing in the message says which",
    "%1, %n applications": "%1, %n application",
    "%n applications found": "%n application found",
}


def fill_message(source, translation):
    forms = translation.findall("numerusform")
    if source not in SINGULAR or len(forms) != 2:
        return False
    forms[0].text = SINGULAR[source]
    forms[1].text = source
    return True


def main(path):
    tsfill.fill(path, fill_message, "no English plural forms")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/translations/applywright_en.ts")
