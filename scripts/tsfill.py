"""What the two translation fillers share: read a Qt .ts file, let a function
fill each message it knows, write the file back and list the ones it did not."""
import sys
import xml.etree.ElementTree as ET


def fill(path, fill_message, missing_label):
    """fill_message(source, translation) fills the <translation> element and
    returns True, or returns False for a text it has no words for."""
    tree = ET.parse(path)
    missing = []
    for message in tree.getroot().iter("message"):
        source = message.find("source").text or ""
        translation = message.find("translation")
        if fill_message(source, translation):
            translation.attrib.pop("type", None)
        else:
            missing.append(source)
    tree.write(path, encoding="utf-8", xml_declaration=True)
    for source in missing:
        print(f"{missing_label}:", source, file=sys.stderr)
