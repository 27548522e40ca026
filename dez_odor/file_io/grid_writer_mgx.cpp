#include "dez_odor/file_io/grid_writer_mgx.h"

#include "common/log.h"
#include "dez_odor/file_io/writer_common.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/grid_objects/constrained_element.h"
#include "dez_odor/tools/subset_handler_interface.h"

#include <rapidxml/rapidxml.hpp>
#include <rapidxml/rapidxml_print.hpp>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace mg {

namespace {

using XmlNode = rapidxml::xml_node<char>;

// What follows the corners of an element in its list.
enum class ConstraintTokens { none, edge, face };

// The element lists of a grid below its vertex lists, in document order.
struct ElementList {
    const char* name;
    int kind;  // BaseObjectKind
    int section;
    ConstraintTokens constraint;
};

const ElementList kElementLists[] = {
    {"edges", BOK_EDGE, 0, ConstraintTokens::none},
    {"constraining_edges", BOK_EDGE, 2, ConstraintTokens::none},
    {"constrained_edges", BOK_EDGE, 1, ConstraintTokens::edge},
    {"triangles", BOK_FACE, 0, ConstraintTokens::none},
    {"constraining_triangles", BOK_FACE, 4, ConstraintTokens::none},
    {"constrained_triangles", BOK_FACE, 2, ConstraintTokens::face},
    {"quadrilaterals", BOK_FACE, 1, ConstraintTokens::none},
    {"constraining_quadrilaterals", BOK_FACE, 5, ConstraintTokens::none},
    {"constrained_quadrilaterals", BOK_FACE, 3, ConstraintTokens::face},
    {"tetrahedrons", BOK_VOLUME, 0, ConstraintTokens::none},
    {"hexahedrons", BOK_VOLUME, 1, ConstraintTokens::none},
    {"prisms", BOK_VOLUME, 2, ConstraintTokens::none},
    {"pyramids", BOK_VOLUME, 3, ConstraintTokens::none},
    {"octahedrons", BOK_VOLUME, 4, ConstraintTokens::none},
};

// The order in which the lists of a kind are numbered (MGX indices run over
// the concatenation). Volumes are numbered over their whole list.
const int kVertexNumbering[] = {0, 1};
const int kEdgeNumbering[] = {0, 2, 1};
const int kFaceNumbering[] = {0, 4, 2, 1, 5, 3};

// A list of tokens, each followed by one blank (the last blank is dropped
// when the list becomes an element's text).
class TokenList {
public:
    TokenList() { UseClassicNumbers(m_ss); }
    explicit TokenList(int precision) : TokenList() { m_ss.precision(precision); }

    template <class T>
    TokenList& operator<<(const T& token)
    {
        m_ss << token << ' ';
        return *this;
    }

    std::string str() const { return m_ss.str(); }

private:
    std::ostringstream m_ss;
};

GridObject* ConstrainingObject(const GridObject* elem)
{
    const auto* c = dynamic_cast<const IConstrainedElement*>(elem);
    return c ? c->constraining_object() : nullptr;
}

}  // namespace

struct GridWriterMGX::Document {
    struct GridEntry {
        Grid* grid;
        XmlNode* node;
    };

    explicit Document(const Attachment<int>& aIndex) : aIndex(aIndex)
    {
        XmlNode* decl = doc.allocate_node(rapidxml::node_declaration);
        decl->append_attribute(doc.allocate_attribute("version", "1.0"));
        decl->append_attribute(doc.allocate_attribute("encoding", "utf-8"));
        doc.append_node(decl);
    }

    // A copy of s in the document's pool (null reads as empty).
    const char* copy(const char* s) { return doc.allocate_string(s ? s : ""); }

    // An element whose text is the token list, without its final blank; an
    // element without text for an empty list.
    XmlNode* list_node(const char* name, const TokenList& tokens)
    {
        const std::string text = tokens.str();
        if (text.empty())
            return doc.allocate_node(rapidxml::node_element, name);
        char* buf = doc.allocate_string(nullptr, text.size());
        std::memcpy(buf, text.data(), text.size());
        buf[text.size() - 1] = '\0';
        return doc.allocate_node(rapidxml::node_element, name, buf, 0, text.size() - 1);
    }

    void add_coords_attribute(XmlNode* node, int numCoords)
    {
        char* buf = doc.allocate_string(nullptr, 10);
        std::snprintf(buf, 10, "%d", numCoords);
        node->append_attribute(doc.allocate_attribute("coords", buf));
    }

    template <class TBase>
    AttachmentAccessor<TBase, int> index_accessor(Grid& grid) const
    {
        return AttachmentAccessor<TBase, int>(grid.attachment_pipe<TBase>(), aIndex);
    }

    // Attaches the index attachment to every element kind of the grid and
    // writes each element's MGX number.
    void init_grid_attachments(Grid& grid)
    {
        grid.attach_to_vertices(aIndex);
        grid.attach_to_edges(aIndex);
        grid.attach_to_faces(aIndex);
        grid.attach_to_volumes(aIndex);

        number<Vertex>(grid, kVertexNumbering, std::size(kVertexNumbering));
        number<Edge>(grid, kEdgeNumbering, std::size(kEdgeNumbering));
        number<Face>(grid, kFaceNumbering, std::size(kFaceNumbering));
        const int wholeList = -1;
        number<Volume>(grid, &wholeList, 1);
    }

    template <class TBase>
    void number(Grid& grid, const int* sections, size_t numSections)
    {
        AttachmentAccessor<TBase, int> aaIndex = index_accessor<TBase>(grid);
        int counter = 0;
        for (size_t i = 0; i < numSections; ++i)
            for (TBase* elem : GridSection<TBase>(grid, sections[i]))
                aaIndex[elem] = counter++;
    }

    template <size_t N>
    XmlNode* create_vertex_node(Grid& grid, const AttachmentAccessor<Vertex, MathVector<N, float>>& aaPos)
    {
        TokenList tokens(32);
        for (Vertex* vrt : GridSection<Vertex>(grid, 0))
            for (size_t i = 0; i < N; ++i)
                tokens << aaPos[vrt][i];
        XmlNode* node = list_node("vertices", tokens);
        add_coords_attribute(node, static_cast<int>(N));
        return node;
    }

    template <size_t N>
    XmlNode* create_constrained_vertex_node(Grid& grid,
                                            const AttachmentAccessor<Vertex, MathVector<N, float>>& aaPos)
    {
        const AttachmentAccessor<Edge, int> aaEdgeIndex = index_accessor<Edge>(grid);
        const AttachmentAccessor<Face, int> aaFaceIndex = index_accessor<Face>(grid);
        TokenList tokens;
        for (Vertex* vrt : GridSection<Vertex>(grid, 1)) {
            for (size_t i = 0; i < N; ++i)
                tokens << aaPos[vrt][i];
            const auto* cv = dynamic_cast<const IConstrainedVertex*>(vrt);
            GridObject* obj = cv ? cv->constraining_object() : nullptr;
            if (auto* edge = dynamic_cast<Edge*>(obj))
                tokens << 1 << aaEdgeIndex[edge] << cv->local_coordinate(0);
            else if (auto* face = dynamic_cast<Face*>(obj))
                tokens << 2 << aaFaceIndex[face] << cv->local_coordinate(0)
                       << cv->local_coordinate(1);
            else
                tokens << -1;
        }
        XmlNode* node = list_node("constrained_vertices", tokens);
        add_coords_attribute(node, static_cast<int>(N));
        return node;
    }

    template <class TBase>
    XmlNode* create_element_node(Grid& grid, const ElementList& list)
    {
        const AttachmentAccessor<Vertex, int> aaVrtIndex = index_accessor<Vertex>(grid);
        const AttachmentAccessor<Edge, int> aaEdgeIndex = index_accessor<Edge>(grid);
        const AttachmentAccessor<Face, int> aaFaceIndex = index_accessor<Face>(grid);
        TokenList tokens;
        for (TBase* elem : GridSection<TBase>(grid, list.section)) {
            const unsigned int numCorners = elem->num_vertices();
            for (unsigned int i = 0; i < numCorners; ++i)
                tokens << aaVrtIndex[elem->vertex(i)];
            if (list.constraint == ConstraintTokens::none)
                continue;
            GridObject* obj = ConstrainingObject(elem);
            auto* edge = dynamic_cast<Edge*>(obj);
            auto* face = edge ? nullptr : dynamic_cast<Face*>(obj);
            if (edge && list.constraint == ConstraintTokens::edge)
                tokens << 1 << aaEdgeIndex[edge];
            else if (face)
                tokens << 2 << aaFaceIndex[face];
            else
                tokens << -1;
        }
        return list_node(list.name, tokens);
    }

    void add_elements_to_node(XmlNode* gridNode, Grid& grid)
    {
        for (const ElementList& list : kElementLists) {
            XmlNode* node = nullptr;
            switch (list.kind) {
            case BOK_EDGE:
                if (section_size<Edge>(grid, list.section) > 0)
                    node = create_element_node<Edge>(grid, list);
                break;
            case BOK_FACE:
                if (section_size<Face>(grid, list.section) > 0)
                    node = create_element_node<Face>(grid, list);
                break;
            default:
                if (section_size<Volume>(grid, list.section) > 0)
                    node = create_element_node<Volume>(grid, list);
                break;
            }
            if (node)
                gridNode->append_node(node);
        }
    }

    template <class TBase>
    static uint32_t section_size(Grid& grid, int section)
    {
        return grid.element_storage<TBase>().section_container().num_elements(section);
    }

    void add_subset_to_node(XmlNode* subsetNode, const ISubsetHandler& sh, int subset)
    {
        const SubsetInfo& info = sh.subset_info(subset);
        subsetNode->append_attribute(doc.allocate_attribute("name", copy(info.name.c_str())));

        TokenList color;
        for (float c : info.color)
            color << c;
        std::string colorText = color.str();
        colorText.pop_back();
        subsetNode->append_attribute(doc.allocate_attribute("color", copy(colorText.c_str())));

        const std::string state = std::to_string(info.state);
        subsetNode->append_attribute(doc.allocate_attribute("state", copy(state.c_str())));
    }

    // The MGX numbers of the subset's elements of TBase's kind, read on the
    // handler's own grid; no text when that grid carries no numbers.
    template <class TBase>
    XmlNode* create_subset_element_node(const char* name, const ISubsetHandler& sh, int subset)
    {
        TokenList tokens;
        if (Grid* grid = sh.grid()) {
            const AttachmentAccessor<TBase, int> aaIndex = index_accessor<TBase>(*grid);
            if (aaIndex.valid()) {
                const ElementCollection elements = sh.get_element_collection(subset);
                for (size_t level = 0; level < elements.num_levels(); ++level) {
                    const auto* container = elements.container<TBase>(level);
                    if (!container)
                        continue;
                    for (auto it = container->begin(); it != container->end(); ++it)
                        tokens << aaIndex[*it];
                }
            }
        }
        return list_node(name, tokens);
    }

    rapidxml::xml_document<char> doc;
    std::vector<GridEntry> entries;
    const Attachment<int>& aIndex;
};

GridWriterMGX::GridWriterMGX() : m_doc(), m_aIndex()
{
    m_doc = std::make_unique<Document>(m_aIndex);
}

GridWriterMGX::~GridWriterMGX()
{
    for (const Document::GridEntry& entry : m_doc->entries) {
        entry.grid->detach_from_vertices(m_aIndex);
        entry.grid->detach_from_edges(m_aIndex);
        entry.grid->detach_from_faces(m_aIndex);
        entry.grid->detach_from_volumes(m_aIndex);
    }
}

bool GridWriterMGX::add_grid(Grid& grid, const char* name, const Attachment<MathVector<1, float>>& aPos)
{
    return add_grid_with<1>(grid, name, aPos);
}

bool GridWriterMGX::add_grid(Grid& grid, const char* name, const Attachment<MathVector<2, float>>& aPos)
{
    return add_grid_with<2>(grid, name, aPos);
}

bool GridWriterMGX::add_grid(Grid& grid, const char* name, const Attachment<MathVector<3, float>>& aPos)
{
    return add_grid_with<3>(grid, name, aPos);
}

template <size_t N>
bool GridWriterMGX::add_grid_with(Grid& grid, const char* name,
                                  const Attachment<MathVector<N, float>>& aPos)
{
    const AttachmentAccessor<Vertex, MathVector<N, float>> aaPos(grid.vertex_attachment_pipe(), aPos);
    if (!aaPos.valid()) {
        MG_LOG("  position attachment missing in grid " << (name ? name : "") << std::endl);
        return false;
    }

    Document& d = *m_doc;
    XmlNode* gridNode = d.doc.allocate_node(rapidxml::node_element, "grid");
    gridNode->append_attribute(d.doc.allocate_attribute("name", d.copy(name)));
    d.entries.push_back(Document::GridEntry{&grid, gridNode});
    d.doc.append_node(gridNode);

    d.init_grid_attachments(grid);

    if (Document::section_size<Vertex>(grid, 0) > 0)
        gridNode->append_node(d.create_vertex_node<N>(grid, aaPos));
    if (Document::section_size<Vertex>(grid, 1) > 0)
        gridNode->append_node(d.create_constrained_vertex_node<N>(grid, aaPos));

    d.add_elements_to_node(gridNode, grid);
    return true;
}

void GridWriterMGX::add_subset_handler(ISubsetHandler& sh, const char* name, unsigned int refGridIndex)
{
    Document& d = *m_doc;
    if (refGridIndex >= d.entries.size()) {
        MG_LOG("GridWriterMGX::add_subset_handler: bad refGridIndex. Aborting.\n");
        return;
    }

    XmlNode* handlerNode = d.doc.allocate_node(rapidxml::node_element, "subset_handler");
    handlerNode->append_attribute(d.doc.allocate_attribute("name", d.copy(name)));
    d.entries[refGridIndex].node->append_node(handlerNode);

    const ISubsetHandler& csh = sh;
    for (int i = 0; i < csh.num_subsets(); ++i) {
        XmlNode* subsetNode = d.doc.allocate_node(rapidxml::node_element, "subset");
        d.add_subset_to_node(subsetNode, csh, i);
        handlerNode->append_node(subsetNode);

        if (csh.contains_vertices(i))
            subsetNode->append_node(d.create_subset_element_node<Vertex>("vertices", csh, i));
        if (csh.contains_edges(i))
            subsetNode->append_node(d.create_subset_element_node<Edge>("edges", csh, i));
        if (csh.contains_faces(i))
            subsetNode->append_node(d.create_subset_element_node<Face>("faces", csh, i));
        if (csh.contains_volumes(i))
            subsetNode->append_node(d.create_subset_element_node<Volume>("volumes", csh, i));
    }
}

bool GridWriterMGX::write_to_stream(std::ostream& out)
{
    const std::ostreambuf_iterator<char> end =
        rapidxml::print(std::ostreambuf_iterator<char>(out), m_doc->doc, 0);
    if (end.failed())
        out.setstate(std::ios::badbit);
    out.flush();
    return !out.fail();
}

bool GridWriterMGX::write_to_file(const char* filename)
{
    if (!filename)
        return false;
    std::ofstream out(filename);
    if (!out)
        return false;
    const bool written = write_to_stream(out);
    return FinishFile(out) && written;
}

}  // namespace mg
