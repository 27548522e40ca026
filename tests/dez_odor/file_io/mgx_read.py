"""Reads an MGX grid file with ElementTree and prints the grid it describes.

Usage: mgx_read.py FILE

The file must hold one "grid" element. Every element is printed by the
coordinates of its corners, so that the output can be compared with a grid
without knowing the file's numbering:

  grid NAMEHEX                    the grid's name, UTF-8 bytes in hex
  list NAME                       each list element of the grid, in order
  v KEY [| CONSTRAINT]            a vertex; KEY = its coordinates as float32 bits
  e KEY KEY [| CONSTRAINT]        an edge by its corners (other kinds alike)
  handler NAMEHEX
  subset NAMEHEX COLOR STATE      COLOR: four %.6g values joined by ","
  in KIND ELEMENT                 an element of the subset (vertices, edges, ...)

A CONSTRAINT is "none", "edge ELEMENT [LOCAL]" or "face ELEMENT [LOCAL LOCAL]",
ELEMENT being the corner keys joined by "/". Exits with a message and status 1
when the file does not follow the format.
"""

import struct
import sys
import xml.etree.ElementTree as ET

CORNERS = {
    "edges": 2, "constraining_edges": 2, "constrained_edges": 2,
    "triangles": 3, "constraining_triangles": 3, "constrained_triangles": 3,
    "quadrilaterals": 4, "constraining_quadrilaterals": 4, "constrained_quadrilaterals": 4,
    "tetrahedrons": 4, "hexahedrons": 8, "prisms": 6, "pyramids": 5, "octahedrons": 6,
}
KIND_OF_LIST = {
    "vertices": "vertices", "constrained_vertices": "vertices",
    "edges": "edges", "constraining_edges": "edges", "constrained_edges": "edges",
    "triangles": "faces", "constraining_triangles": "faces", "constrained_triangles": "faces",
    "quadrilaterals": "faces", "constraining_quadrilaterals": "faces",
    "constrained_quadrilaterals": "faces",
    "tetrahedrons": "volumes", "hexahedrons": "volumes", "prisms": "volumes",
    "pyramids": "volumes", "octahedrons": "volumes",
}
# The order in which the lists may stand in a grid (each at most once).
LIST_ORDER = ["vertices", "constrained_vertices", "edges", "constraining_edges",
              "constrained_edges", "triangles", "constraining_triangles",
              "constrained_triangles", "quadrilaterals", "constraining_quadrilaterals",
              "constrained_quadrilaterals", "tetrahedrons", "hexahedrons", "prisms",
              "pyramids", "octahedrons"]


class FormatError(Exception):
    pass


def f32bits(token):
    return "%08x" % struct.unpack("<I", struct.pack("<f", float(token)))[0]


def ints(text):
    try:
        return [int(t) for t in (text or "").split()]
    except ValueError as e:
        raise FormatError("not an integer list: %s" % e)


def hexname(s):
    return s.encode("utf-8").hex()


class Reader:
    def __init__(self, grid):
        self.grid = grid
        self.elements = {"vertices": [], "edges": [], "faces": [], "volumes": []}
        self.lines = []

    def element(self, kind, index):
        items = self.elements[kind]
        if not 0 <= index < len(items):
            raise FormatError("%s index %d out of range (0..%d)" % (kind, index, len(items) - 1))
        return items[index]

    def vertex_key(self, index):
        return self.element("vertices", index)[0]

    def read(self):
        if self.grid.tag != "grid":
            raise FormatError("root element is %r, not 'grid'" % self.grid.tag)
        if set(self.grid.attrib) != {"name"}:
            raise FormatError("grid attributes %r" % sorted(self.grid.attrib))
        self.lines.append("grid " + hexname(self.grid.get("name")))

        lists = [c for c in self.grid if c.tag != "subset_handler"]
        handlers = [c for c in self.grid if c.tag == "subset_handler"]
        if list(self.grid)[:len(lists)] != lists:
            raise FormatError("subset handlers must follow the element lists")
        names = [c.tag for c in lists]
        if names != sorted(names, key=LIST_ORDER.index) or len(set(names)) != len(names):
            raise FormatError("lists out of order or repeated: %r" % names)

        # First pass: the corners (constraints may name elements of later lists).
        parsed = []
        coords = None
        for node in lists:
            if len(node):
                raise FormatError("list %s has child elements" % node.tag)
            tokens = (node.text or "").split()
            if node.text is not None and " ".join(tokens) != node.text:
                raise FormatError("list %s is not separated by single blanks" % node.tag)
            if node.tag in ("vertices", "constrained_vertices"):
                n = int(node.get("coords", "0"))
                if n not in (1, 2, 3) or (coords is not None and n != coords):
                    raise FormatError("bad coords attribute %r" % node.get("coords"))
                coords = n
                parsed.append((node.tag, self.read_vertices(node.tag, tokens, n)))
            else:
                parsed.append((node.tag, self.read_elements(node.tag, tokens)))

        # Second pass: print, with constraints resolved.
        for tag, items in parsed:
            self.lines.append("list " + tag)
            for corners, constraint in items:
                line = ("v " if tag.endswith("vertices") else "e ") + " ".join(corners)
                if constraint is not None:
                    line += " | " + self.resolve(constraint)
                self.lines.append(line)

        for handler in handlers:
            self.read_handler(handler)

    def read_vertices(self, tag, tokens, n):
        items = []
        pos = 0
        while pos < len(tokens):
            if pos + n > len(tokens):
                raise FormatError("%s: incomplete coordinates" % tag)
            key = ",".join(f32bits(t) for t in tokens[pos:pos + n])
            pos += n
            constraint = None
            if tag == "constrained_vertices":
                kind = int(tokens[pos])
                width = {-1: 1, 1: 3, 2: 4}.get(kind)
                if width is None or pos + width > len(tokens):
                    raise FormatError("%s: bad constraint at token %d" % (tag, pos))
                constraint = (kind, [t for t in tokens[pos + 1:pos + width]])
                pos += width
            item = ([key], constraint)
            items.append(item)
            self.elements["vertices"].append(item[0])
        return items

    def read_elements(self, tag, tokens):
        values = ints(" ".join(tokens))
        kind = KIND_OF_LIST[tag]
        n = CORNERS[tag]
        constrained = tag.startswith("constrained_")
        items = []
        pos = 0
        while pos < len(values):
            if pos + n > len(values):
                raise FormatError("%s: incomplete element" % tag)
            corners = [self.vertex_key(i) for i in values[pos:pos + n]]
            pos += n
            constraint = None
            if constrained:
                if pos >= len(values):
                    raise FormatError("%s: missing constraint" % tag)
                ckind = values[pos]
                width = {-1: 1, 1: 2, 2: 2}.get(ckind)
                if width is None or pos + width > len(values):
                    raise FormatError("%s: bad constraint at %d" % (tag, pos))
                if ckind == 1 and kind == "faces":
                    raise FormatError("%s: faces are never constrained by edges" % tag)
                constraint = (ckind, [str(v) for v in values[pos + 1:pos + width]])
                pos += width
            items.append((corners, constraint))
            self.elements[kind].append(corners)
        return items

    def resolve(self, constraint):
        kind, rest = constraint
        if kind == -1:
            return "none"
        target = "edges" if kind == 1 else "faces"
        text = ("edge " if kind == 1 else "face ") + "/".join(self.element(target, int(rest[0])))
        locals_ = rest[1:]
        if locals_:
            text += " " + " ".join(f32bits(t) for t in locals_)
        return text

    def read_handler(self, handler):
        if set(handler.attrib) != {"name"}:
            raise FormatError("subset_handler attributes %r" % sorted(handler.attrib))
        self.lines.append("handler " + hexname(handler.get("name")))
        for subset in handler:
            if subset.tag != "subset":
                raise FormatError("unexpected %s in subset_handler" % subset.tag)
            if list(subset.attrib) != ["name", "color", "state"]:
                raise FormatError("subset attributes %r" % list(subset.attrib))
            color = subset.get("color").split(" ")
            if len(color) != 4:
                raise FormatError("colour %r" % subset.get("color"))
            state = int(subset.get("state"))
            if state < 0:
                raise FormatError("negative state")
            self.lines.append("subset %s %s %d" % (hexname(subset.get("name")),
                                                  ",".join("%.6g" % float(c) for c in color),
                                                  state))
            kinds = [c.tag for c in subset]
            order = ["vertices", "edges", "faces", "volumes"]
            if kinds != sorted(kinds, key=order.index) or len(set(kinds)) != len(kinds):
                raise FormatError("subset lists %r" % kinds)
            for node in subset:
                for index in ints(node.text):
                    self.lines.append("in %s %s" % (node.tag,
                                                    "/".join(self.element(node.tag, index))))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: mgx_read.py FILE")
    try:
        root = ET.parse(sys.argv[1]).getroot()
        reader = Reader(root)
        reader.read()
    except (ET.ParseError, FormatError, ValueError, IndexError) as e:
        print("mgx_read: %s: %s" % (sys.argv[1], e), file=sys.stderr)
        sys.exit(1)
    print("\n".join(reader.lines))


if __name__ == "__main__":
    main()
