#!/usr/bin/env python3
"""Writes src/basic/dialect_keywords.h from the dialect token tables.

Usage: tools/mkdialect_keywords.py DIALECT_FOLDER > src/basic/dialect_keywords.h
DIALECT_FOLDER holds one <name>.tsv per dialect (bytes, keyword, note), as
tests/data/dialects does. Run it once when a table changes; the build only
uses the header it writes.
"""
import pathlib
import sys

NAMES = ["basic2", "basic1", "basic35", "basic4", "basic4cbm2", "basic7", "basic71", "basic10",
         "basic65", "simons", "fc3", "basic4ext64", "basic4ext20", "basic5ext20", "superexpander"]


def tokenizes(note):
    """Whether typing the keyword gives these bytes (the notes say when not)."""
    if note.startswith("listed only"):
        return "tokenizes back to these bytes" in note
    if note.startswith("placeholder"):
        return "tokenizes to these bytes" in note
    return not note.startswith("-k shows") and not note.startswith("-k keyword that does not tokenize")


def rows(path):
    for line in path.read_text().splitlines()[1:]:
        hexes, keyword, note = line.split("\t")
        if keyword == "~":
            continue  # pi: a character, not a keyword
        code = int(hexes.replace(" ", ""), 16)
        yield code, keyword.upper(), tokenizes(note)


def cpp_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def main():
    folder = pathlib.Path(sys.argv[1])
    out = ["// basic/dialect_keywords.h: the keywords of every BASIC dialect with their",
           "// token bytes, as petcat lists and tokenizes them. Written by",
           "// tools/mkdialect_keywords.py from tests/data/dialects/*.tsv; do not edit.",
           "#pragma once", "", '#include "basic/dialect_keyword.h"', "", "namespace vantrel::dialect_keywords {", ""]
    for name in NAMES:
        ident = "k" + name[0].upper() + name[1:]
        out.append(f"inline constexpr DialectKeyword {ident}[] = {{")
        for code, keyword, tok in sorted(rows(folder / f"{name}.tsv")):
            width = 4 if code > 0xFF else 2
            use = "KeywordUse::Both" if tok else "KeywordUse::ListOnly"
            out.append(f"    {{0x{code:0{width}X}, {cpp_string(keyword)}, {use}}},")
        out.append("};")
        out.append(f"static_assert(IsSortedByCode({ident}) && TypedNamesUnique({ident}));")
        out.append("")
    out.append("}  // namespace vantrel::dialect_keywords")
    print("\n".join(out))


if __name__ == "__main__":
    main()
