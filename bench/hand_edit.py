#!/usr/bin/env python3
"""Makes EDITS hand edits in an index file as an author would, for the rescan benchmark.

    python3 bench/hand_edit.py IN.xo OUT.xo [EDITS]   (default 1000)

Spread over the file: a third of the edits retitle an entry, a third add a keyword to an
entry, a third set a page tip.
"""
import sys


def main():
    source, target = sys.argv[1], sys.argv[2]
    edits = int(sys.argv[3]) if len(sys.argv) > 3 else 1000
    with open(source, "rb") as f:
        lines = f.read().split(b"\r\n")
    entries = [i for i, line in enumerate(lines) if line.startswith(b"5;")]
    step = max(1, len(entries) // edits)
    chosen = entries[::step][:edits]
    extra = {}
    for n, at in enumerate(chosen):
        fields = lines[at].split(b";")
        ident = fields[1]
        if n % 3 == 0:
            fields[4] = b"Edited " + fields[4]
            lines[at] = b";".join(fields)
        elif n % 3 == 1:
            extra[at] = b"7;Hand keyword %d;&%s;&%s;" % (n, ident, ident)
        else:
            extra[at] = b"6;%s;Tip %d" % (ident, n)
    out = []
    for i, line in enumerate(lines):
        out.append(line)
        if i in extra:
            out.append(extra[i])
    with open(target, "wb") as f:
        f.write(b"\r\n".join(out))


main()
