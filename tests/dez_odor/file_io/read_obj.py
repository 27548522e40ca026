"""Reads a Wavefront OBJ file with pywavefront and with meshio and prints
what each found, one fact per line, for the grid writer tests:

    pywavefront vertices <n>
    object <name> material <material> format <vertex format> triangles <n>
    material <name> diffuse <r> <g> <b> alpha <a> texture <file or ->
    meshio points <n>
    meshio <cell type> <n>      (summed over the cell blocks, types sorted)

Without a second argument pywavefront makes up the materials it does not
find (create_materials); with "--materials" they must come from the file's
mtllib. Objects without faces are listed by pywavefront with 0 triangles.
"""
import logging
import sys

import meshio
import pywavefront


def main(path, with_materials):
    logging.getLogger("pywavefront").setLevel(logging.ERROR)
    scene = pywavefront.Wavefront(
        path, create_materials=not with_materials, collect_faces=True, parse=True
    )
    print("pywavefront vertices", len(scene.vertices))
    for mesh in scene.mesh_list:
        for material in mesh.materials:
            print(
                "object",
                mesh.name,
                "material",
                material.name,
                "format",
                material.vertex_format,
                "triangles",
                len(mesh.faces),
            )
    if with_materials:
        for name in sorted(scene.materials):
            material = scene.materials[name]
            texture = material.texture.file_name if material.texture else "-"
            print(
                "material",
                name,
                "diffuse",
                " ".join("%g" % c for c in material.diffuse[:3]),
                "alpha",
                "%g" % material.transparency,
                "texture",
                texture,
            )

    mesh = meshio.read(path, file_format="obj")
    print("meshio points", len(mesh.points))
    counts = {}
    for block in mesh.cells:
        counts[block.type] = counts.get(block.type, 0) + len(block.data)
    for cell_type in sorted(counts):
        print("meshio", cell_type, counts[cell_type])


if __name__ == "__main__":
    main(sys.argv[1], len(sys.argv) > 2 and sys.argv[2] == "--materials")
