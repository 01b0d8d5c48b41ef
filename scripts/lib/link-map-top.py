#!/usr/bin/env python3
"""Prints the largest contributors to an executable from a GNU ld link map.

Usage: link-map-top.py MAP [COUNT]
Each input section's size is charged to its object file, or to the archive
member it came from ("libstdc++.a(locale-inst.o)"), summed over the sections a
stripped program keeps (discarded sections are listed before "Linker script
and memory map"; debug sections go with strip).
"""

import collections
import os
import re
import sys



OUTPUT_SECTION = re.compile(r"^(\.\S+|/\d+)")
INPUT_SECTION = re.compile(r"^ (\.\S+)?\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")


def is_loaded(section):
    """Debug and symbol-table sections are removed by strip; they do not count."""
    return not section.startswith(("/", ".debug", ".zdebug", ".stab"))


def contributors(lines):
    sizes = collections.Counter()
    in_map = False
    output_section = ""
    pending_input = False
    for line in lines:
        line = line.rstrip("\n")
        if line.startswith("Linker script and memory map"):
            in_map = True
            continue
        if not in_map:
            continue
        output = OUTPUT_SECTION.match(line)
        if output:
            output_section = output.group(1)
            continue
        # A long input section name stands alone on its line; its address,
        # size and source follow on the next.
        if re.match(r"^ \.\S+$", line):
            pending_input = True
            continue
        match = INPUT_SECTION.match(line)
        if match and (match.group(1) or pending_input) and is_loaded(output_section):
            source = match.group(4).strip()
            if int(match.group(2), 16) != 0 and not source.startswith("*") and "=" not in source:
                sizes[shorten(source)] += int(match.group(3), 16)
        pending_input = False
    return sizes


def shorten(source):
    archive = re.match(r"^(.*\.a)\((.*)\)$", source)
    if archive:
        return "%s(%s)" % (os.path.basename(archive.group(1)), archive.group(2))
    return os.path.basename(source)


def main():
    if len(sys.argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    with open(sys.argv[1], encoding="utf-8", errors="replace") as map_file:
        sizes = contributors(map_file)
    for name, size in sizes.most_common(count):
        print("%10d  %s" % (size, name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
