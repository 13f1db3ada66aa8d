"""Reads a .docx with python-docx, independently of the writer, and prints
what the tests check as JSON: the style and text of every paragraph with
text, the inline pictures with their descriptions and whether their data is
inside the package, the pictures stored in the package, and every
relationship that points outside it."""
import json
import sys

import docx
from docx.oxml.ns import qn

document = docx.Document(sys.argv[1])
part = document.part

paragraphs = [
    {"style": p.style.name, "text": p.text} for p in document.paragraphs if p.text.strip()
]
pictures = []
for shape in document.inline_shapes:
    blip = shape._inline.graphic.graphicData.pic.blipFill.blip
    rel = part.rels.get(blip.get(qn("r:embed")))
    pictures.append(
        {
            "alt": shape._inline.docPr.get("descr"),
            "embedded": rel is not None and not rel.is_external and len(rel.target_part.blob) > 0,
            "width": shape.width,
            "height": shape.height,
        }
    )
external = [
    rel.target_ref
    for p in document.part.package.iter_parts()
    for rel in p.rels.values()
    if rel.is_external
]
external += [rel.target_ref for rel in document.part.package.rels.values() if rel.is_external]
media = sorted(p.partname for p in document.part.package.iter_parts() if "/media/" in p.partname)
fonts = document.styles.element.find(qn("w:docDefaults")).find(".//" + qn("w:rFonts"))
print(
    json.dumps(
        {
            "paragraphs": paragraphs,
            "pictures": pictures,
            "media": media,
            "external": external,
            "title": document.core_properties.title,
            "eastAsiaFont": fonts.get(qn("w:eastAsia")) if fonts is not None else None,
            "footers": [len(s.footer.paragraphs) for s in document.sections],
        },
        ensure_ascii=False,
    )
)
