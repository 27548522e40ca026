"""Reads an EXODUS II mesh from a NetCDF file with netCDF4 and prints what
it holds, one fact per line, for the grid writer tests:

    num_nodes <n> / num_elem <n> / num_el_blk <n>
    title <text>
    coor_names <x> <y> <z>
    connect<j> <element type> <rows>
    row <a> <b> <c> <d>         (one per element of the block)
    coord <axis> <values...>    (one line per axis)
    elem_map <numbers...> / elem_num_map <numbers...> / node_num_map <numbers...>
"""
import sys

import netCDF4


def text(chars):
    return b"".join(c for c in chars if c != b"").decode()


def main(path):
    with netCDF4.Dataset(path) as nc:
        nc.set_auto_mask(False)
        for dim in ("num_nodes", "num_elem", "num_el_blk"):
            print(dim, len(nc.dimensions[dim]))
        print("title", nc.title)
        print("coor_names", " ".join(text(row) for row in nc.variables["coor_names"][:]))
        blocks = len(nc.dimensions["num_el_blk"])
        print("eb_prop1", " ".join(str(int(v)) for v in nc.variables["eb_prop1"][:]))
        for j in range(1, blocks + 1):
            connect = nc.variables["connect%d" % j]
            rows = connect[:]
            print("connect%d" % j, connect.elem_type, len(rows))
            for row in rows:
                print("row", " ".join(str(int(v)) for v in row))
        coord = nc.variables["coord"][:]
        for axis, values in zip("xyz", coord):
            print("coord", axis, " ".join("%g" % v for v in values))
        for name in ("elem_map", "elem_num_map", "node_num_map"):
            print(name, " ".join(str(int(v)) for v in nc.variables[name][:]))


if __name__ == "__main__":
    main(sys.argv[1])
