"""Reads an LGB binary grid file with struct and prints what it holds.

Usage: lgb_read.py FILE [EDGES FACES VOLUMES]

The subset-index part holds one index per element of the grid, and the file
does not say how many edges, faces and volumes the grid has beyond those it
writes records for; when the grid has elements in sections the format leaves
out, their totals are given on the command line.

The layout is read field by field (little-endian, 32-bit integers, IEEE
floats, no padding); every magic number and the end of the file are checked.
Elements are printed by the coordinates of their corners (KEY: x,y,z as
float32 bits in hex), so that the output can be compared with a grid:

  flags F
  vertices R C                   regular and constrained vertex counts
  cv L0 L1                       local coordinates of a constrained vertex (bits)
  record TAG COUNT
  el TAG KEY KEY ...             one element of the record
  pos KEY                        the position of each vertex, in index order
  handlers N
  subset NAMEHEX MATERIAL C0,C1,C2,C3 STATE   (colour as float32 bits)
  prop KEYHEX VALUE              VALUE: invalid, pointer, b 0|1, i N, f BITS,
                                 d BITS, s HEX (both string kinds)
  idx KIND KEY|? SUBSET          subset index of every element, kind by kind
  end

An element in the subset-index part that has no record in the element block
(a section the format does not write) is printed with the key "?". Exits
with a message and status 1 when the file does not follow the format.
"""

import struct
import sys

POSITION_MAGIC = 8304548
HANDLER_MAGIC = 654664
END_MARKER = 3478384
RECORD_CORNERS = {21: 2, 31: 3, 40: 4, 61: 4, 70: 8, 80: 6, 90: 5}
RECORD_KIND = {21: "edges", 31: "faces", 40: "faces", 61: "volumes", 70: "volumes",
               80: "volumes", 90: "volumes"}


class FormatError(Exception):
    pass


class Cursor:
    def __init__(self, data):
        self.data = data
        self.pos = 0

    def take(self, fmt):
        size = struct.calcsize(fmt)
        if self.pos + size > len(self.data):
            raise FormatError("file ends at byte %d, %d more expected" % (len(self.data), size))
        values = struct.unpack_from(fmt, self.data, self.pos)
        self.pos += size
        return values if len(values) > 1 else values[0]

    def u32(self):
        return self.take("<I")

    def i32(self):
        return self.take("<i")

    def f32bits(self):
        return "%08x" % self.u32()

    def chars(self, n):
        if self.pos + n > len(self.data):
            raise FormatError("string runs past the end of the file")
        s = self.data[self.pos:self.pos + n]
        self.pos += n
        return s

    def expect(self, value, what):
        got = self.u32()
        if got != value:
            raise FormatError("%s: expected %d, found %d at byte %d" % (what, value, got, self.pos - 4))


def read_variant(c):
    tag = c.u32()
    if tag == 0:
        return "invalid"
    if tag == 8:
        return "pointer"
    if tag == 1:
        b = c.take("<B")
        if b not in (0, 1):
            raise FormatError("bool byte %d" % b)
        return "b %d" % b
    if tag == 2:
        return "i %d" % c.i32()
    if tag == 4:
        return "f " + c.f32bits()
    if tag == 5:
        return "d %016x" % c.take("<Q")
    if tag in (6, 7):
        return "s " + c.chars(c.u32()).hex()
    raise FormatError("variant tag %d" % tag)


def main():
    if len(sys.argv) not in (2, 5):
        sys.exit("usage: lgb_read.py FILE [EDGES FACES VOLUMES]")
    extra_counts = {}
    if len(sys.argv) == 5:
        extra_counts = dict(zip(("edges", "faces", "volumes"), map(int, sys.argv[2:5])))
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    out = []
    try:
        c = Cursor(data)
        if c.take("<BBB") != (1, 4, 4):
            raise FormatError("bad header bytes")
        c.expect(4, "header")
        flags = c.u32()
        if flags not in (2, 6):
            raise FormatError("content flags %d" % flags)
        out.append("flags %d" % flags)

        for word in (1, 3, 0, 2):
            c.expect(word, "element block start")

        regular = constrained = 0
        local = []
        records = []  # (tag, [corner index lists])
        tag = c.i32()
        if tag == 11:
            regular = c.u32()
            tag = c.i32()
        if tag == 12:
            constrained = c.u32()
            local = [(c.f32bits(), c.f32bits()) for _ in range(constrained)]
            tag = c.i32()
        last = 12
        while tag != -2:
            if tag not in RECORD_CORNERS or tag <= last:
                raise FormatError("record tag %d out of place" % tag)
            last = tag
            count = c.u32()
            if count == 0:
                raise FormatError("record %d with count 0" % tag)
            n = RECORD_CORNERS[tag]
            records.append((tag, [[c.u32() for _ in range(n)] for _ in range(count)]))
            tag = c.i32()
        num_vertices = regular + constrained
        counts = {"vertices": num_vertices}
        for kind in ("edges", "faces", "volumes"):
            counts[kind] = sum(len(e) for t, e in records if RECORD_KIND[t] == kind)
        counts.update(extra_counts)

        c.expect(POSITION_MAGIC, "position block start")
        keys = [",".join(c.f32bits() for _ in range(3)) for _ in range(num_vertices)]
        c.expect(POSITION_MAGIC, "position block end")

        out.append("vertices %d %d" % (regular, constrained))
        out.extend("cv %s %s" % lc for lc in local)
        element_keys = {"vertices": list(keys), "edges": [], "faces": [], "volumes": []}
        for tag, elems in records:
            out.append("record %d %d" % (tag, len(elems)))
            for corners in elems:
                for i in corners:
                    if i >= num_vertices:
                        raise FormatError("record %d: vertex index %d of %d" % (tag, i, num_vertices))
                key = "/".join(keys[i] for i in corners)
                out.append("el %d %s" % (tag, key.replace("/", " ")))
                element_keys[RECORD_KIND[tag]].append(key)
        out.extend("pos " + k for k in keys)

        if flags == 6:
            num_handlers = c.u32()
            out.append("handlers %d" % num_handlers)
            for _ in range(num_handlers):
                c.expect(HANDLER_MAGIC, "subset handler start")
                num_subsets = c.u32()
                for _ in range(num_subsets):
                    name = c.chars(c.u32())
                    if not name.endswith(b"\0") or b"\0" in name[:-1]:
                        raise FormatError("subset name %r" % name)
                    material = c.i32()
                    color = ",".join(c.f32bits() for _ in range(4))
                    state = c.u32()
                    out.append("subset %s %d %s %d" % (name[:-1].hex(), material, color, state))
                    previous = None
                    for _ in range(c.u32()):
                        key = c.chars(c.u32())
                        if previous is not None and key <= previous:
                            raise FormatError("property keys out of order")
                        previous = key
                        out.append("prop %s %s" % (key.hex(), read_variant(c)))
                # One index per element, kind by kind.
                for kind in ("vertices", "edges", "faces", "volumes"):
                    known = element_keys[kind]
                    for k in range(counts[kind]):
                        value = c.i32()
                        if value < -1:
                            raise FormatError("subset index %d" % value)
                        key = known[k] if k < len(known) else "?"
                        out.append("idx %s %s %d" % (kind, key, value))
                c.expect(HANDLER_MAGIC, "subset handler end")
        c.expect(END_MARKER, "end marker")
        if c.pos != len(data):
            raise FormatError("%d bytes after the end marker" % (len(data) - c.pos))
        out.append("end")
    except (FormatError, IndexError) as e:
        print("lgb_read: %s: %s" % (sys.argv[1], e), file=sys.stderr)
        sys.exit(1)
    print("\n".join(out))

if __name__ == "__main__":
    main()
