"""Reads a .docx with python-docx, independently of the writer, and prints
what the tests check as JSON: the style of every paragraph with text, whether
that style is linked to a numbering whose level names the style back, the
number of inline pictures and the external hyperlink targets."""
import json
import sys

import docx
from docx.opc.constants import RELATIONSHIP_TYPE as RT
from docx.oxml.ns import qn

document = docx.Document(sys.argv[1])
numbering = document.part.numbering_part.element


def linked_level(style):
    """The numbering level linked to a paragraph style, or None."""
    ppr = style.element.pPr
    if ppr is None or ppr.numPr is None or ppr.numPr.numId is None:
        return None
    num_id = ppr.numPr.numId.val
    for num in numbering.findall(qn("w:num")):
        if int(num.get(qn("w:numId"))) != num_id:
            continue
        abstract_id = num.find(qn("w:abstractNumId")).get(qn("w:val"))
        for abstract in numbering.findall(qn("w:abstractNum")):
            if abstract.get(qn("w:abstractNumId")) != abstract_id:
                continue
            for lvl in abstract.findall(qn("w:lvl")):
                pstyle = lvl.find(qn("w:pStyle"))
                fmt = lvl.find(qn("w:numFmt")).get(qn("w:val"))
                text = lvl.find(qn("w:lvlText")).get(qn("w:val"))
                if pstyle is not None and pstyle.get(qn("w:val")) == style.style_id:
                    return {"format": fmt, "text": text}
    return None


paragraphs = [
    {"style": p.style.name, "text": p.text} for p in document.paragraphs if p.text.strip()
]
styles = {p["style"] for p in paragraphs}
links = [
    rel.target_ref
    for rel in document.part.rels.values()
    if rel.reltype == RT.HYPERLINK and rel.is_external
]
print(
    json.dumps(
        {
            "paragraphs": paragraphs,
            "numbering": {s: linked_level(document.styles[s]) for s in styles},
            "pictures": len(document.inline_shapes),
            "hyperlinks": links,
        },
        ensure_ascii=False,
    )
)
