"""Reads a TetGen mesh (base.node + base.ele) with meshio's TetGen reader and
prints what it found, one fact per line, for the grid writer tests:

    points <n>
    point <x> <y> <z>            (one per point, in file order)
    tetra <m>
    tet <a> <b> <c> <d> [marker] (one per tetrahedron; 0-based point numbers)
"""
import sys

import meshio


def main(path):
    mesh = meshio.read(path, file_format="tetgen")
    print("points", len(mesh.points))
    for p in mesh.points:
        print("point", " ".join("%g" % c for c in p))
    markers = mesh.cell_data.get("tetgen:ref")
    for b, block in enumerate(mesh.cells):
        print(block.type, len(block.data))
        for k, corners in enumerate(block.data):
            fields = [str(int(c)) for c in corners]
            if markers is not None:
                fields.append(str(int(markers[b][k])))
            print("tet", " ".join(fields))


if __name__ == "__main__":
    main(sys.argv[1])
