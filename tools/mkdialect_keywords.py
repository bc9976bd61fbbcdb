#!/usr/bin/env python3
"""Writes src/basic/dialect_keywords.h from the dialect token tables.

Usage: tools/mkdialect_keywords.py DIALECT_FOLDER > src/basic/dialect_keywords.h
DIALECT_FOLDER holds one <name>.tsv per dialect (bytes, keyword, note), as
tests/data/dialects does. Run it once when a table changes; the build only
uses the header it writes.
"""
import pathlib
import sys

# The dialect each one adds to, as the dialect table in dialect.cpp names it:
# its table is written as the changes to that one.
EXTENDS = {"basic35": "basic2", "basic4": "basic2", "basic4cbm2": "basic4", "basic7": "basic35",
           "basic71": "basic7", "basic10": "basic7", "basic65": "basic10", "simons": "basic2", "fc3": "basic2",
           "basic4ext64": "basic2", "basic4ext20": "basic2", "basic5ext20": "basic2", "superexpander": "basic2"}

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


def row_lines(table):
    for code in sorted(table):
        keyword, tok = table[code]
        width = 4 if code > 0xFF else 2
        use = "KeywordUse::Both" if tok else "KeywordUse::ListOnly"
        yield f"    {{0x{code:0{width}X}, {cpp_string(keyword)}, {use}}},"


def main():
    folder = pathlib.Path(sys.argv[1])
    out = ["// basic/dialect_keywords.h: the keywords of every BASIC dialect with their",
           "// token bytes, as petcat lists and tokenizes them. Written by",
           "// tools/mkdialect_keywords.py from tests/data/dialects/*.tsv; do not edit.",
           "#pragma once", "", '#include "basic/dialect_keyword.h"', "", "namespace vantrel::dialect_keywords {", ""]
    tables = {name: {code: (keyword, tok) for code, keyword, tok in rows(folder / f"{name}.tsv")} for name in NAMES}
    for name in NAMES:
        ident = "k" + name[0].upper() + name[1:]
        table = tables[name]
        base = EXTENDS.get(name)
        if base is None:
            out.append(f"inline constexpr std::array<DialectKeyword, {len(table)}> {ident} = {{{{")
            out.extend(row_lines(table))
            out.append("}};")
        else:
            base_table = tables[base]
            changes = {code: row for code, row in table.items() if base_table.get(code) != row}
            drops = sorted(code for code in base_table if code not in table)
            base_ident = "k" + base[0].upper() + base[1:]
            out.append(f"inline constexpr DialectKeyword {ident}Changes[] = {{")
            out.extend(row_lines(changes))
            out.append("};")
            out.append(f"inline constexpr std::array<uint16_t, {len(drops)}> {ident}Drops = {{"
                       + ", ".join(f"0x{code:X}" for code in drops) + "};")
            out.append(f"inline constexpr auto {ident} = Derive<{len(table)}>({base_ident}, {ident}Changes, {ident}Drops);")
        typed = [keyword for keyword, tok in table.values() if tok]
        # A typed name must lead to one code; several codes may list as one name.
        # Checked here: a compile-time check of every pair is too slow for clang.
        if len(typed) != len(set(typed)):
            sys.exit(f"{name}: a typed keyword has more than one code")
        out.append(f"static_assert(IsSortedByCode({ident}));")
        out.append("")
    out.append("}  // namespace vantrel::dialect_keywords")
    print("\n".join(out))


if __name__ == "__main__":
    main()
