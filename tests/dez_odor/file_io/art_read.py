"""Reads an ART/NET grid file and prints the grid it describes.

Usage: art_read.py FILE

The fixed header, the "$" separators and every index are checked; the edges
of each face must form one closed loop (faces listed without edges pass).
Output, each element by the coordinates of its corners (KEY: x,y,z as
float32 bits in hex):

  counts V E F C
  v KEY
  e MARK KEY KEY
  f MARK KEY KEY ...              the corners of the face, sorted
  c MARK FACE FACE ...            FACE: its sorted corner keys joined by "/";
                                  the faces sorted
Exits with a message and status 1 when the file does not follow the format.
"""

import re
import struct
import sys

HEADER = [
    "%% Version 3.0",
    "%% VertexNumber: (\\d+)",
    "%% EdgeNumber: (\\d+)",
    "%% FaceNumber: (\\d+)",
    "%% ElementNumber: (\\d+)",
    "%% Translation: \\(0, 0, 0\\)",
    "%% Cornermark: 10001",
    "%% DO NOT CHANGE LINES ABOVE !!!!",
    "% NET: Vertices <-> Edges <-> Faces <-> Elements",
    "% Vertices: x y z",
]
# A coordinate: scientific notation with 20 digits after the point.
NUMBER = "-?\\d\\.\\d{20}e[+-]\\d{2,3}"
VERTEX = re.compile("^%s %s %s$" % (NUMBER, NUMBER, NUMBER))
EDGE = re.compile("^(-?\\d+): (\\d+) (\\d+)$")
LIST = re.compile("^(-?\\d+):((?: \\d+)*)$")


class FormatError(Exception):
    pass


def f32bits(token):
    return "%08x" % struct.unpack("<I", struct.pack("<f", float(token)))[0]


def closed_loop(edges):
    """True when the edges (vertex pairs) form one cycle through all their vertices."""
    degree = {}
    for a, b in edges:
        if a == b:
            return False
        degree[a] = degree.get(a, 0) + 1
        degree[b] = degree.get(b, 0) + 1
    if any(d != 2 for d in degree.values()) or len(edges) != len(degree):
        return False
    # connected
    adj = {v: [] for v in degree}
    for a, b in edges:
        adj[a].append(b)
        adj[b].append(a)
    start = next(iter(adj))
    seen = {start}
    stack = [start]
    while stack:
        for w in adj[stack.pop()]:
            if w not in seen:
                seen.add(w)
                stack.append(w)
    return len(seen) == len(degree)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: art_read.py FILE")
    with open(sys.argv[1], newline="") as f:
        text = f.read()
    out = []
    try:
        if not text.endswith("\n") or "\r" in text:
            raise FormatError("lines must end in a single line feed")
        lines = text[:-1].split("\n")
        counts = []
        for i, pattern in enumerate(HEADER):
            m = re.fullmatch(pattern, lines[i]) if i < len(lines) else None
            if not m:
                raise FormatError("header line %d: %r" % (i + 1, lines[i] if i < len(lines) else None))
            counts.extend(int(g) for g in m.groups())
        nv, ne, nf, nc = counts
        out.append("counts %d %d %d %d" % (nv, ne, nf, nc))
        pos = len(HEADER)

        def section(count, heading):
            nonlocal pos
            if heading is not None:
                if lines[pos] != heading:
                    raise FormatError("line %d: expected %r" % (pos + 1, heading))
                pos += 1
            body = lines[pos:pos + count]
            if len(body) != count or pos + count >= len(lines) or lines[pos + count] != "$":
                raise FormatError("section %r: %d lines and a '$' expected" % (heading, count))
            pos += count + 1
            return body

        vertex_lines = section(nv, None)
        keys = []
        for line in vertex_lines:
            if not VERTEX.match(line):
                raise FormatError("vertex line %r" % line)
            keys.append(",".join(f32bits(t) for t in line.split(" ")))
            out.append("v " + keys[-1])

        edges = []
        for line in section(ne, "% Edges (Indices to List of Points):"):
            m = EDGE.match(line)
            if not m:
                raise FormatError("edge line %r" % line)
            a, b = int(m.group(2)), int(m.group(3))
            if a >= nv or b >= nv:
                raise FormatError("edge line %r: vertex index out of range" % line)
            edges.append((a, b))
            out.append("e %s %s %s" % (m.group(1), keys[a], keys[b]))

        faces = []
        for line in section(nf, "% Faces (Indices to List of Edges):"):
            m = LIST.match(line)
            if not m:
                raise FormatError("face line %r" % line)
            refs = [int(t) for t in m.group(2).split()]
            if any(r >= ne for r in refs):
                raise FormatError("face line %r: edge index out of range" % line)
            face_edges = [edges[r] for r in refs]
            if face_edges and not closed_loop(face_edges):
                raise FormatError("face line %r: the edges do not close" % line)
            corners = sorted({keys[v] for e in face_edges for v in e})
            faces.append("/".join(corners))
            out.append(" ".join(["f", m.group(1)] + corners))

        for line in section(nc, "% Elements (Indices to List of Faces):"):
            m = LIST.match(line)
            if not m:
                raise FormatError("element line %r" % line)
            refs = [int(t) for t in m.group(2).split()]
            if any(r >= nf for r in refs):
                raise FormatError("element line %r: face index out of range" % line)
            out.append(" ".join(["c", m.group(1)] + sorted(faces[r] for r in refs)))

        if pos != len(lines):
            raise FormatError("%d lines after the last section" % (len(lines) - pos))
    except (FormatError, IndexError, ValueError) as e:
        print("art_read: %s: %s" % (sys.argv[1], e), file=sys.stderr)
        sys.exit(1)
    print("\n".join(out))


if __name__ == "__main__":
    main()
