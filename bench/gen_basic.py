#!/usr/bin/env python3
"""Writes BASIC text sources for the benchmarks.

    gen_basic.py big OUT.txt     the largest program that fits ($0801-$9fff)
    gen_basic.py small OUT.txt   a ten-line program
"""
import sys

BODIES = [
    'PRINT "{clear}{white}SCORE:";S;"{right:3}LIVES:";L',
    'FOR I=1 TO 40:POKE 1024+I,I:NEXT I',
    'IF A>B THEN GOSUB {next}',
    'A=A+1:B=B*2-A:C$=LEFT$("HELLO",3)',
    'READ X,Y:DATA 1,2,"THREE"',
    'REM A COMMENT THAT STAYS',
    'ON X GOTO {next},{next}',
]


def program(target_bytes, count=None):
    lines, size, n = [], 0, 0
    while (count is None and size < target_bytes) or (count is not None and n < count):
        number = 10 + n * 10
        body = BODIES[n % len(BODIES)].replace("{next}", str(number + 10))
        lines.append(f"{number} {body}")
        size += len(body) + 5  # link, number, end byte, give or take tokens
        n += 1
    lines.append(f"{10 + n * 10} END")
    return "\n".join(lines) + "\n"


def main():
    kind, out = sys.argv[1], sys.argv[2]
    text = program(49500) if kind == "big" else program(0, count=10)
    with open(out, "w") as f:
        f.write(text)


if __name__ == "__main__":
    main()
