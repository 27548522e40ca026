#include "dez_odor/file_io/file_io_tikz.h"
#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/grid_objects/grid_objects.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "support/grid/attachment_snapshot.h"
#include "grid_file_checks.h"
#include "tool_output.h"
#include "support/grid/stdout_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using mg::aPosition;
using mg_test::ReadTextFile;
using mg_test::ScratchDir;
using vector3 = mg::MathVector<3, float>;

const std::string PDFLATEX = "/usr/bin/pdflatex";

// The triangle (0, 0), (1, 0), (0, 1) with its edges and vertices, all in
// subset 0 ("ground") when asked for.
struct TriangleGrid {
    explicit TriangleGrid(bool inSubset = true) : sh(&grid, mg::SE_ALL)
    {
        grid.attach_to_vertices(aPosition);
        aaPos.bind(grid.vertex_attachment_pipe(), aPosition);
        const float p[3][3] = {{0, 0, 0.5f}, {1, 0, -2}, {0, 1, 7}};
        for (const auto& c : p) {
            mg::Vertex* vrt = *grid.create<mg::RegularVertex>();
            aaPos[vrt] = vector3(c[0], c[1], c[2]);
            v.push_back(vrt);
        }
        grid.create<mg::Triangle>(mg::TriangleDescriptor(v[0], v[1], v[2]));
        sh.subset_info(0).name = "ground";
        if (inSubset) {
            sh.assign_subset(grid.begin<mg::Vertex>(), grid.end<mg::Vertex>(), 0);
            sh.assign_subset(grid.begin<mg::Edge>(), grid.end<mg::Edge>(), 0);
            sh.assign_subset(grid.begin<mg::Face>(), grid.end<mg::Face>(), 0);
        }
    }
    mg::Grid grid;
    mg::GridSubsetHandler sh;
    mg::AttachmentAccessor<mg::Vertex, vector3> aaPos;
    std::vector<mg::Vertex*> v;
};

const char* const TRIANGLE_DOCUMENT =
    "\\documentclass[tikz]{standalone}\n"
    "\\begin{document}\n"
    "\\begin{tikzpicture}\n"
    "\n"
    "\\definecolor{vertexColor}{rgb}{0.65, 0.65, 0.65}\n"
    "\\definecolor{edgeColor}{rgb}{0, 0, 0}\n"
    "\\definecolor{faceColor}{rgb}{0.85, 0.85, 0.85}\n"
    "\n"
    "\\tikzset{vertexBase/.style={circle,draw=black,fill=vertexColor,line width=0.02cm,\n"
    "                        inner sep=0,minimum size=0.1cm}}\n"
    "\\tikzset{edgeBase/.style={draw=edgeColor, line width=0.025cm}}\n"
    "\\tikzset{faceBase/.style={draw=black, fill=faceColor, line width=0.015cm}}\n"
    "\n"
    "%subset styles for subset 0 (ground)\n"
    "\\tikzset{vertex0/.style={vertexBase}}\n"
    "\\tikzset{edge0/.style={edgeBase}}\n"
    "\\tikzset{face0/.style={faceBase}}\n"
    "\n"
    "\\begin{scope}\n"
    "\\filldraw[face0] (0cm, 0cm) -- (1cm, 0cm) -- (0cm, 1cm) -- cycle;\n"
    "\\draw[edge0] (0cm, 0cm) -- (1cm, 0cm);\n"
    "\\draw[edge0] (1cm, 0cm) -- (0cm, 1cm);\n"
    "\\draw[edge0] (0cm, 1cm) -- (0cm, 0cm);\n"
    "\\node[vertex0] at (0cm, 0cm) {};\n"
    "\\node[vertex0] at (1cm, 0cm) {};\n"
    "\\node[vertex0] at (0cm, 1cm) {};\n"
    "\\end{scope}\n"
    "\\end{tikzpicture}\n"
    "\\end{document}\n";

// A triangle with corners at different heights is drawn by x and y only.
TEST(TikzWriterTest, SingleTriangleDocument)
{
    ScratchDir dir;
    TriangleGrid g;
    const auto before = mg_test::AttachmentIds(g.grid);
    const std::string file = dir.file("triangle.tex");
    mg_test::StdoutCapture log;
    ASSERT_TRUE(mg::ExportGridToTIKZ(g.grid, file.c_str(), &g.sh, aPosition));
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(mg_test::AttachmentIds(g.grid), before);
    EXPECT_EQ(ReadTextFile(file), TRIANGLE_DOCUMENT);
}

// Coordinates are rounded to the step in single precision, halves away
// from zero; a step of zero or below counts as 1e-12.
TEST(TikzWriterTest, CoordinatesAreRoundedToTheStep)
{
    struct Row {
        float step;
        float x;
        float y;
        const char* node;
    };
    const Row rows[] = {
        {0.5f, 0.7f, 0.2f, "(0.5cm, 0cm)"},
        {0.5f, 0.25f, -0.25f, "(0.5cm, -0.5cm)"},
        {0.5f, 0.75f, -0.7f, "(1cm, -0.5cm)"},
        {0.001f, 0.1234f, 2.0006f, "(0.123cm, 2.001cm)"},
        {0.0f, 0.123456f, -3.5f, "(0.123456cm, -3.5cm)"},
        {-1.0f, 0.7f, 1e-13f, "(0.7cm, 0cm)"},
        {1e-12f, 0.7f, 0.2f, "(0.7cm, 0.2cm)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.step << " " << row.x << " " << row.y);
        ScratchDir dir;
        TriangleGrid g;
        g.aaPos[g.v[0]] = vector3(row.x, row.y, 1.0f);
        mg::TikzExportStyle style;
        style.coordinateStep = row.step;
        const std::string file = dir.file("round.tikz");
        ASSERT_TRUE(mg::ExportGridToTIKZ(g.grid, file.c_str(), &g.sh, aPosition, style));
        const std::string text = ReadTextFile(file);
        EXPECT_NE(text.find(std::string("\\node[vertex0] at ") + row.node + " {};\n"), std::string::npos)
            << text;
        EXPECT_NE(text.find(std::string("\\filldraw[face0] ") + row.node + " --"), std::string::npos)
            << text;
    }
}

TEST(TikzWriterTest, StyleValuesAreWrittenAsGiven)
{
    ScratchDir dir;
    TriangleGrid g;
    mg::TikzExportStyle style;
    style.vertexSize = 0.3f;
    style.vertexLineWidth = 0.01f;
    style.vertexColor = vector3(1.0f, 0.5f, 0.25f);
    style.edgeLineWidth = 0.2f;
    style.edgeColor = vector3(0.1f, 0.2f, 0.3f);
    style.faceLineWidth = 0.05f;
    style.faceColor = vector3(0.0f, 1.0f, 0.0f);
    const std::string file = dir.file("styled.tex");
    ASSERT_TRUE(mg::ExportGridToTIKZ(g.grid, file.c_str(), &g.sh, aPosition, style));
    const std::string text = ReadTextFile(file);
    EXPECT_NE(text.find("\\definecolor{vertexColor}{rgb}{1, 0.5, 0.25}\n"
                        "\\definecolor{edgeColor}{rgb}{0.1, 0.2, 0.3}\n"
                        "\\definecolor{faceColor}{rgb}{0, 1, 0}\n"
                        "\n"
                        "\\tikzset{vertexBase/.style={circle,draw=black,fill=vertexColor,line width=0.01cm,\n"
                        "                        inner sep=0,minimum size=0.3cm}}\n"
                        "\\tikzset{edgeBase/.style={draw=edgeColor, line width=0.2cm}}\n"
                        "\\tikzset{faceBase/.style={draw=black, fill=faceColor, line width=0.05cm}}\n"),
              std::string::npos)
        << text;
}

// Faces below edges below vertices, subset after subset; elements in no
// subset and kinds the handler does not support are not drawn.
TEST(TikzWriterTest, DrawingOrderAndSubsets)
{
    ScratchDir dir;
    TriangleGrid g(false);
    mg::Vertex* extra = *g.grid.create<mg::RegularVertex>();
    g.aaPos[extra] = vector3(1, 1, 0);
    mg::Face* second = *g.grid.create<mg::Triangle>(mg::TriangleDescriptor(g.v[1], extra, g.v[2]));
    mg::Face* first = *g.grid.begin<mg::Face>();
    g.sh.subset_info(1).name = "lava";
    g.sh.assign_subset(first, 1);
    g.sh.assign_subset(second, 0);
    g.sh.assign_subset(g.grid.get_edge(g.v[1], g.v[2]), 1);
    g.sh.assign_subset(g.grid.get_edge(g.v[1], extra), 0);
    g.sh.assign_subset(extra, 1);
    g.sh.subset_info(2).name = "unused";

    const std::string file = dir.file("order.tex");
    ASSERT_TRUE(mg::ExportGridToTIKZ(g.grid, file.c_str(), &g.sh, aPosition));
    const std::string text = ReadTextFile(file);
    EXPECT_NE(text.find("%subset styles for subset 0 (ground)\n"), std::string::npos);
    EXPECT_NE(text.find("%subset styles for subset 1 (lava)\n"), std::string::npos);
    EXPECT_NE(text.find("%subset styles for subset 2 (unused)\n"
                        "\\tikzset{vertex2/.style={vertexBase}}\n"
                        "\\tikzset{edge2/.style={edgeBase}}\n"
                        "\\tikzset{face2/.style={faceBase}}\n"
                        "\n"
                        "\\begin{scope}\n"),
              std::string::npos)
        << text;
    const std::string scope = text.substr(text.find("\\begin{scope}\n"));
    EXPECT_EQ(scope,
              "\\begin{scope}\n"
              "\\filldraw[face0] (1cm, 0cm) -- (1cm, 1cm) -- (0cm, 1cm) -- cycle;\n"
              "\\filldraw[face1] (0cm, 0cm) -- (1cm, 0cm) -- (0cm, 1cm) -- cycle;\n"
              "\\draw[edge0] (1cm, 0cm) -- (1cm, 1cm);\n"
              "\\draw[edge1] (1cm, 0cm) -- (0cm, 1cm);\n"
              "\\node[vertex1] at (1cm, 1cm) {};\n"
              "\\end{scope}\n"
              "\\end{tikzpicture}\n"
              "\\end{document}\n");

    // A handler of another grid draws nothing.
    TriangleGrid other;
    ASSERT_TRUE(mg::ExportGridToTIKZ(g.grid, file.c_str(), &other.sh, aPosition));
    const std::string none = ReadTextFile(file);
    EXPECT_EQ(none.substr(none.find("\\begin{scope}\n")),
              "\\begin{scope}\n\\end{scope}\n\\end{tikzpicture}\n\\end{document}\n");

    // A handler for faces only draws the faces alone.
    mg::GridSubsetHandler facesOnly(&g.grid, mg::SE_FACE);
    facesOnly.assign_subset(first, 0);
    ASSERT_TRUE(mg::ExportGridToTIKZ(g.grid, file.c_str(), &facesOnly, aPosition));
    const std::string faces = ReadTextFile(file);
    EXPECT_EQ(faces.substr(faces.find("\\begin{scope}\n")),
              "\\begin{scope}\n"
              "\\filldraw[face0] (0cm, 0cm) -- (1cm, 0cm) -- (0cm, 1cm) -- cycle;\n"
              "\\end{scope}\n"
              "\\end{tikzpicture}\n"
              "\\end{document}\n");
}

TEST(TikzWriterTest, TwoEmptySubsetsGiveStylesAndAnEmptyScope)
{
    ScratchDir dir;
    TriangleGrid g(false);
    g.sh.subset_info(1).name = "second";
    const std::string file = dir.file("empty.tex");
    ASSERT_TRUE(mg::ExportGridToTIKZ(g.grid, file.c_str(), &g.sh, aPosition));
    const std::string text = ReadTextFile(file);
    EXPECT_NE(text.find("%subset styles for subset 0 (ground)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\\tikzset{face1/.style={faceBase}}\n\n\\begin{scope}\n\\end{scope}\n"),
              std::string::npos)
        << text;
}

// Refusals leave an existing file alone; open and write failures are false.
TEST(TikzWriterTest, Failures)
{
    ScratchDir dir;
    TriangleGrid g;
    const std::string file = dir.file("keep.tex");
    mg_test::WriteTextFile(file, "earlier content\n");
    mg::Attachment<vector3> aOther;

    mg_test::StdoutCapture log;
    EXPECT_FALSE(mg::ExportGridToTIKZ(g.grid, file.c_str(), nullptr, aPosition));
    EXPECT_EQ(log.str(), "A subset handler is required to write a tikz file!\n");
    log.clear();
    EXPECT_FALSE(mg::ExportGridToTIKZ(g.grid, file.c_str(), &g.sh, aOther));
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(ReadTextFile(file), "earlier content\n");

    const std::string missing = dir.file("missing/a.tex");
    EXPECT_FALSE(mg::ExportGridToTIKZ(g.grid, missing.c_str(), &g.sh, aPosition));
    EXPECT_EQ(log.str(), "Couldn't load file " + missing + "\n");
    EXPECT_FALSE(mg::ExportGridToTIKZ(g.grid, "/dev/full", &g.sh, aPosition));
}

// Compiles the document where a TeX installation with TikZ and the
// standalone class is present (too large to install for CI).
TEST(TikzWriterTest, PdflatexCompilesTheDocument)
{
    if (!mg_test::FileExists(PDFLATEX))
        GTEST_SKIP() << "pdflatex is not installed";
    ScratchDir dir;
    TriangleGrid g;
    const std::string file = dir.file("triangle.tex");
    ASSERT_TRUE(mg::ExportGridToTIKZ(g.grid, file.c_str(), &g.sh, aPosition));
    const mg_test::ToolOutput tex = mg_test::RunToolCombined(
        PDFLATEX, {"-halt-on-error", "-interaction=nonstopmode", "-output-directory", dir.path(), file});
    EXPECT_EQ(tex.exitCode, 0) << tex.output;
    EXPECT_TRUE(mg_test::FileExists(dir.file("triangle.pdf")));
}

}  // namespace
