"""Reads an ASCII STL file with meshio and prints its facets.

Usage: stl_read.py FILE

Before meshio reads the file, its lines are checked against the ASCII
layout the grid writer uses (unindented "solid NAME", seven lines per facet,
"endsolid NAME"). Output:

  name NAME
  facets N
  n X Y Z                       each facet normal (from meshio's cell data)
  f X Y Z  X Y Z  X Y Z         each facet's corners (meshio's points)
Exits with a message and status 1 when the file does not follow the format.
"""

import re
import sys

try:
    import meshio
    import numpy as np
except ImportError as e:
    sys.exit("stl_read: %s (Debian packages python3-meshio, python3-numpy)" % e)

NUM = "[-+0-9.eEinfa]+"
TRIPLE = "%s %s %s" % (NUM, NUM, NUM)


class FormatError(Exception):
    pass


def check_layout(lines):
    m = re.fullmatch("solid (.*)", lines[0])
    if not m or lines[-1] != "endsolid " + m.group(1):
        raise FormatError("solid/endsolid lines %r, %r" % (lines[0], lines[-1]))
    body = lines[1:-1]
    if len(body) % 7:
        raise FormatError("%d facet lines, not a multiple of 7" % len(body))
    patterns = ["facet normal " + TRIPLE, "outer loop", "vertex " + TRIPLE, "vertex " + TRIPLE,
                "vertex " + TRIPLE, "endloop", "endfacet"]
    for i, line in enumerate(body):
        if not re.fullmatch(patterns[i % 7], line):
            raise FormatError("line %d: %r" % (i + 2, line))
    return m.group(1), len(body) // 7


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: stl_read.py FILE")
    with open(sys.argv[1], newline="") as f:
        text = f.read()
    try:
        if not text.endswith("\n") or "\r" in text:
            raise FormatError("lines must end in a single line feed")
        name, count = check_layout(text[:-1].split("\n"))
        mesh = meshio.read(sys.argv[1], file_format="stl")
    except (FormatError, meshio.ReadError, ValueError) as e:
        print("stl_read: %s: %s" % (sys.argv[1], e), file=sys.stderr)
        sys.exit(1)
    out = ["name " + name]
    triangles = [block.data for block in mesh.cells if block.type == "triangle"]
    tri = np.concatenate(triangles) if triangles else np.zeros((0, 3), dtype=int)
    if len(tri) != count:
        print("stl_read: meshio read %d triangles of %d facets" % (len(tri), count), file=sys.stderr)
        sys.exit(1)
    out.append("facets %d" % len(tri))
    if count:
        normals = np.concatenate(mesh.cell_data["facet_normals"])
        out.extend("n %.9g %.9g %.9g" % tuple(n) for n in normals)
        points = np.asarray(mesh.points)
        for corners in tri:
            out.append("f " + "  ".join("%.9g %.9g %.9g" % tuple(points[i]) for i in corners))
    print("\n".join(out))


if __name__ == "__main__":
    main()
