#!/usr/bin/env python3
"""Writes the benchmark's source: equal work for tarn (MCHIP syntax) and for gpasm.

Scale N gives about 15,750 x N lines: 8,000 x N EQU constants, a two-instruction macro
(BTFSS, GOTO) called 600 times, and, for the rest, comment lines and calls of a macro that
emits nothing, in equal parts. Both syntaxes get the same constants, macros, instructions and
comments; only the few header lines that choose the device differ. The program fills 1,200
words, so it fits the 4,096-word devices of both assemblers.
"""

import argparse
import sys

LINES_PER_SCALE = 15_750
EQUS_PER_SCALE = 8_000
EMITTING_CALLS = 600

HEADERS = {
    # QV48BD has 4,096 program words; FREQ (and /X 1 on the command line) keep the run free
    # of the default warnings.
    "tarn": [
        "        DEVICE  QV48BD",
        "        FREQ    4_000_000",
    ],
    # A 14-bit device of 4,096 words: no 12-bit part of gpasm's family has as many.
    "gpasm": [
        "        PROCESSOR 16F648A",
        "        RADIX   DEC",
    ],
}

MACROS = [
    "SKIPJ   MACRO   reg, bit, dest",
    "        BTFSS   reg,bit",
    "        GOTO    dest",
    "        ENDM",
    "NOTE    MACRO   value",
    "; value is written down, nothing is emitted",
    "        ENDM",
]


def source_lines(syntax, scale):
    lines = [f"; benchmark source, scale {scale}, {syntax} syntax"]
    lines += HEADERS[syntax]
    lines += MACROS
    equs = EQUS_PER_SCALE * scale
    for i in range(equs):
        lines.append(f"S{i:06d}  EQU     0x{8 + i % 24:02X}")
    lines.append("        ORG     0")
    # Everything but the closing END is the body.
    body = LINES_PER_SCALE * scale - len(lines) - 1
    filler = body - EMITTING_CALLS
    stride = body // EMITTING_CALLS
    calls = 0
    for i in range(body):
        if calls < EMITTING_CALLS and i % stride == 0:
            label = f"L{calls:04d}"
            lines.append(f"{label}   SKIPJ   S{calls % equs:06d},{calls % 8},{label}")
            calls += 1
        elif i % 2 == 0:
            lines.append(f"; comment line {i}: the loop above waits for the flag, then moves on")
        else:
            lines.append(f"        NOTE    S{i % equs:06d}")
    assert calls == EMITTING_CALLS and filler > 0
    lines.append("        END")
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--syntax", choices=sorted(HEADERS), required=True)
    parser.add_argument("--scale", type=int, default=1)
    parser.add_argument("-o", "--output", required=True)
    args = parser.parse_args()
    if args.scale < 1:
        sys.exit("scale must be 1 or more")
    with open(args.output, "w", newline="\n") as out:
        out.write("\n".join(source_lines(args.syntax, args.scale)) + "\n")


if __name__ == "__main__":
    main()
