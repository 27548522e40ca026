"""Reads a TXT grid file (vertex list and triangle list) with numpy.

Usage: txt_read.py FILE

Checks the count line, the running numbers of the vertex and triangle lines
and the range of every corner index, then prints:

  counts V T
  v X Y Z          each vertex, %.9g
  t A B C          each triangle's corner numbers
Exits with a message and status 1 when the file does not follow the format.
"""

import sys

try:
    import numpy as np
except ImportError:
    sys.exit("txt_read: numpy is missing (Debian package python3-numpy)")


class FormatError(Exception):
    pass


def table(lines, columns, dtype):
    if not lines:
        return np.zeros((0, columns), dtype=dtype)
    data = np.loadtxt(lines, dtype=dtype, ndmin=2)
    if data.shape != (len(lines), columns):
        raise FormatError("expected %d columns, found shape %r" % (columns, data.shape))
    return data


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: txt_read.py FILE")
    with open(sys.argv[1], newline="") as f:
        text = f.read()
    try:
        if not text.endswith("\n") or "\r" in text:
            raise FormatError("lines must end in a single line feed")
        lines = text[:-1].split("\n")
        head = lines[0].split(" ")
        if len(head) != 2:
            raise FormatError("count line %r" % lines[0])
        nv, nt = int(head[0]), int(head[1])
        if len(lines) != 1 + nv + nt:
            raise FormatError("%d lines for %d vertices and %d triangles" % (len(lines), nv, nt))
        vertices = table(lines[1:1 + nv], 4, np.float64)
        triangles = table(lines[1 + nv:], 4, np.int64)
        if not np.array_equal(vertices[:, 0], np.arange(nv)):
            raise FormatError("vertex numbers do not run 0, 1, 2, ...")
        if not np.array_equal(triangles[:, 0], np.arange(nt)):
            raise FormatError("triangle numbers do not run 0, 1, 2, ...")
        corners = triangles[:, 1:]
        if corners.size and (corners.min() < 0 or corners.max() >= nv):
            raise FormatError("a triangle corner is no vertex number")
    except (FormatError, ValueError, IndexError) as e:
        print("txt_read: %s: %s" % (sys.argv[1], e), file=sys.stderr)
        sys.exit(1)
    out = ["counts %d %d" % (nv, nt)]
    out.extend("v %.9g %.9g %.9g" % tuple(row[1:]) for row in vertices)
    out.extend("t %d %d %d" % tuple(row) for row in corners)
    print("\n".join(out))


if __name__ == "__main__":
    main()
