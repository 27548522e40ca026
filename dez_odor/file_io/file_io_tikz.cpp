#include "dez_odor/file_io/file_io_tikz.h"

#include "common/log.h"
#include "dez_odor/file_io/text_writer_support.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/tools/subset_handler_interface.h"

#include <cmath>
#include <fstream>
#include <vector>

namespace mg {

namespace {

using Position = MathVector<3, float>;

constexpr float MIN_COORDINATE_STEP = 1e-12f;

// The elements of one kind sorted by subset, each subset's elements in the
// grid's list order; elements in no subset (or of a kind sh does not
// support) are left out.
template <class TBase>
std::vector<std::vector<TBase*>> ElementsBySubset(Grid& grid, ISubsetHandler& sh, unsigned int kindBit)
{
    std::vector<std::vector<TBase*>> bySubset(static_cast<size_t>(sh.num_subsets()));
    if (!sh.elements_are_supported(kindBit))
        return bySubset;
    for (auto it = grid.begin<TBase>(); it != grid.end<TBase>(); ++it) {
        const int s = SubsetIndexIn(&sh, grid, *it);
        if (s >= 0 && s < sh.num_subsets())
            bySubset[static_cast<size_t>(s)].push_back(*it);
    }
    return bySubset;
}

void WriteColor(std::ostream& out, const char* name, const MathVector<3, float>& c)
{
    out << "\\definecolor{" << name << "}{rgb}{" << c[0] << ", " << c[1] << ", " << c[2] << "}\n";
}

// round(v / step) x step in single precision, halves away from zero.
float RoundToStep(float v, float step)
{
    return std::round(v / step) * step;
}

}  // namespace

TikzExportStyle::TikzExportStyle()
    : vertexSize(0.1f),
      vertexLineWidth(0.02f),
      vertexColor(0.65f, 0.65f, 0.65f),
      edgeLineWidth(0.025f),
      edgeColor(0.0f, 0.0f, 0.0f),
      faceLineWidth(0.015f),
      faceColor(0.85f, 0.85f, 0.85f),
      coordinateStep(0.001f)
{
}

bool ExportGridToTIKZ(Grid& grid, const char* filename, ISubsetHandler* sh, Attachment<Position> aPos,
                      TikzExportStyle style)
{
    // Checked before the file is opened, so that a refused call never
    // empties an existing file.
    if (!sh) {
        MG_LOG("A subset handler is required to write a tikz file!\n");
        return false;
    }
    if (!grid.has_vertex_attachment(aPos))
        return false;

    std::ofstream out;
    if (!OpenTextFile(out, filename)) {
        MG_LOG("Couldn't load file " << filename << "\n");
        return false;
    }

    AttachmentAccessor<Vertex, Position> aaPos(grid.vertex_attachment_pipe(), aPos);
    const float step =
        style.coordinateStep > MIN_COORDINATE_STEP ? style.coordinateStep : MIN_COORDINATE_STEP;
    // " (x cm, y cm)"
    const auto writePoint = [&](Vertex* v) {
        const Position& p = aaPos[v];
        out << " (" << RoundToStep(p[0], step) << "cm, " << RoundToStep(p[1], step)
            << "cm)";
    };

    out << "\\documentclass[tikz]{standalone}\n";
    out << "\\begin{document}\n";
    out << "\\begin{tikzpicture}\n";
    out << "\n";
    WriteColor(out, "vertexColor", style.vertexColor);
    WriteColor(out, "edgeColor", style.edgeColor);
    WriteColor(out, "faceColor", style.faceColor);
    out << "\n";

    out << "\\tikzset{vertexBase/.style={circle,draw=black,fill=vertexColor,line width="
        << style.vertexLineWidth << "cm,\n";
    out << "                        inner sep=0,minimum size=" << style.vertexSize << "cm}}\n";
    out << "\\tikzset{edgeBase/.style={draw=edgeColor, line width=" << style.edgeLineWidth << "cm}}\n";
    out << "\\tikzset{faceBase/.style={draw=black, fill=faceColor, line width=" << style.faceLineWidth
        << "cm}}\n";
    out << "\n";

    const ISubsetHandler& csh = *sh;
    for (int i = 0; i < sh->num_subsets(); ++i) {
        out << "%subset styles for subset " << i << " (" << csh.subset_info(i).name << ")\n";
        out << "\\tikzset{vertex" << i << "/.style={vertexBase}}\n";
        out << "\\tikzset{edge" << i << "/.style={edgeBase}}\n";
        out << "\\tikzset{face" << i << "/.style={faceBase}}\n";
    }
    out << "\n";
    out << "\\begin{scope}\n";

    const auto faces = ElementsBySubset<Face>(grid, *sh, SE_FACE);
    for (size_t i = 0; i < faces.size(); ++i) {
        for (Face* f : faces[i]) {
            out << "\\filldraw[face" << i << "]";
            for (unsigned int c = 0; c < f->num_vertices(); ++c) {
                writePoint(f->vertex(c));
                out << " --";
            }
            out << " cycle;\n";
        }
    }

    const auto edges = ElementsBySubset<Edge>(grid, *sh, SE_EDGE);
    for (size_t i = 0; i < edges.size(); ++i) {
        for (Edge* e : edges[i]) {
            out << "\\draw[edge" << i << "]";
            writePoint(e->vertex(0));
            out << " --";
            writePoint(e->vertex(1));
            out << ";\n";
        }
    }

    const auto vertices = ElementsBySubset<Vertex>(grid, *sh, SE_VERTEX);
    for (size_t i = 0; i < vertices.size(); ++i) {
        for (Vertex* v : vertices[i]) {
            const Position& p = aaPos[v];
            out << "\\node[vertex" << i << "] at (" << RoundToStep(p[0], step) << "cm, "
                << RoundToStep(p[1], step) << "cm) {};\n";
        }
    }

    out << "\\end{scope}\n";
    out << "\\end{tikzpicture}\n";
    out << "\\end{document}\n";
    return FinishFile(out);
}

}  // namespace mg
