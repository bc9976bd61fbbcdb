#!/usr/bin/env python3
"""Writes the same realistic 6510 program in three dialects: Vantrel's,
64tass's and ACME's.

    gen_asm.py LINES OUTDIR   ->  OUTDIR/prog.asm, prog.s (64tass), prog.a (acme)

Zero-page equates come first (so every assembler picks zero page for them),
then units of code: a label, loads and stores, a forward branch, a table
and some text. The code stops growing at about 45 KiB so that the program
always fits in memory; beyond that the lines are equates, labels and
comments, which every assembler still has to read and file.
"""
import os
import sys

CODE_UNITS = 2200  # about 20 bytes each


def unit(n, code):
    lines = [f"; unit {n}: copy a row and count it",
             f"e{n} = ${(n * 7) & 0x7FFF:04x}",
             f"l{n}:"]
    if code:
        lines += [f"        lda zp{n % 16}",
                  f"        sta $0400,x",
                  f"        lda t{n},y",
                  f"        bne f{n}",
                  f"        inc zp{(n + 1) % 16}",
                  f"        jsr l{max(n - 1, 0)}",
                  f"f{n}:    dex",
                  f"        bpl l{n}",
                  f"t{n}:    .byte {n & 0xFF}, <l{n}, >l{n}",
                  f"        .text \"U{n % 100:02d}\""]
    else:
        lines += [f"        ; filler {n}", f"g{n} = e{n} + 1"]
    return lines


def program(total):
    lines = [f"zp{i} = ${0x10 + i:02x}" for i in range(16)]
    lines += ["        * = $1000", "start:  ldx #$27", "        ldy #0"]
    n = 0
    while len(lines) < total - 1:
        lines += unit(n, n < CODE_UNITS)
        n += 1
    lines += ["        rts"]
    return lines


def dialect(lines, kind):
    out = []
    for line in lines:
        if kind == "vantrel":
            line = line.replace("* = $1000", "orig $1000").replace(".byte", "byte").replace(".text", "ascii")
        elif kind == "acme":
            line = line.replace(".byte", "!byte").replace(".text", "!text")
        out.append(line)
    return "\n".join(out) + "\n"


def main():
    total, outdir = int(sys.argv[1]), sys.argv[2]
    os.makedirs(outdir, exist_ok=True)
    lines = program(total)
    for kind, name in (("vantrel", "prog.asm"), ("64tass", "prog.s"), ("acme", "prog.a")):
        with open(os.path.join(outdir, name), "w") as f:
            f.write(dialect(lines, kind))


if __name__ == "__main__":
    main()
