#include "support/grid/recording_observer.h"

#include "dez_odor/grid/grid.h"

#include <utility>

namespace mg_test {

namespace {

const char* kind_prefix(int kind)
{
    switch (kind) {
        case mg::BOK_VERTEX:
            return "v";
        case mg::BOK_EDGE:
            return "e";
        case mg::BOK_FACE:
            return "f";
        default:
            return "vol";
    }
}

bool ends_with(const std::string& s, const char* suffix)
{
    const std::string suf(suffix);
    return s.size() >= suf.size() && s.compare(s.size() - suf.size(), suf.size(), suf) == 0;
}

}  // namespace

void NotificationLog::set_name(const mg::GridObject* elem, const std::string& name)
{
    m_names[elem] = name;
    m_retired.erase(elem);
}

std::string NotificationLog::name(const mg::GridObject* elem)
{
    if (!elem)
        return "-";
    auto it = m_names.find(elem);
    if (it != m_names.end())
        return it->second;
    const int kind = elem->base_object_kind();
    std::string n = kind_prefix(kind) + std::to_string(m_counters[kind]++);
    m_names[elem] = n;
    return n;
}

void NotificationLog::add(const std::string& tag, const std::string& what,
                          const mg::GridObject* elem, const mg::GridObject* other,
                          const char* otherLabel)
{
    // An erased element's address may come back for a new element, which
    // then gets a name of its own.
    if (elem && ends_with(what, "_created") && m_retired.erase(elem))
        m_names.erase(elem);
    if (elem && ends_with(what, "_to_be_erased"))
        m_retired.insert(elem);

    std::string line;
    if (!tag.empty())
        line = tag + " ";
    line += what;
    if (elem)
        line += " " + name(elem);
    if (otherLabel)
        line += std::string(" ") + otherLabel + " " + name(other);
    m_lines.push_back(line);
    m_events.push_back(Event{tag, what, elem, other});
}

std::vector<std::string> NotificationLog::lines_of(const std::string& what) const
{
    std::vector<std::string> out;
    for (size_t i = 0; i < m_events.size(); ++i) {
        if (m_events[i].what == what)
            out.push_back(m_lines[i]);
    }
    return out;
}

void NotificationLog::clear()
{
    m_lines.clear();
    m_events.clear();
}

RecordingObserver::RecordingObserver(NotificationLog& log, std::string tag)
    : m_log(log), m_tag(std::move(tag))
{
}

RecordingObserver::~RecordingObserver()
{
    if (m_grid)
        m_grid->unregister_observer(this);
}

void RecordingObserver::observe(mg::Grid& grid, unsigned int observerKinds)
{
    if (m_grid)
        m_grid->unregister_observer(this);
    m_grid = &grid;
    grid.register_observer(this, observerKinds);
}

void RecordingObserver::grid_to_be_destroyed(mg::Grid* grid)
{
    m_log.add(m_tag, "grid_to_be_destroyed", nullptr, nullptr, nullptr);
    if (grid == m_grid) {
        grid->unregister_observer(this);
        m_grid = nullptr;
    }
}

void RecordingObserver::elements_to_be_cleared(mg::Grid*)
{
    m_log.add(m_tag, "elements_to_be_cleared", nullptr, nullptr, nullptr);
}

void RecordingObserver::created(const char* what, const mg::GridObject* elem,
                                const mg::GridObject* parent, bool replacesParent)
{
    m_log.add(m_tag, what, elem, parent, replacesParent ? "replaces" : "parent");
}

void RecordingObserver::vertex_created(mg::Grid*, mg::Vertex* vrt, mg::GridObject* parent,
                                       bool replacesParent)
{
    created("vertex_created", vrt, parent, replacesParent);
}

void RecordingObserver::edge_created(mg::Grid*, mg::Edge* edge, mg::GridObject* parent,
                                     bool replacesParent)
{
    created("edge_created", edge, parent, replacesParent);
}

void RecordingObserver::face_created(mg::Grid*, mg::Face* face, mg::GridObject* parent,
                                     bool replacesParent)
{
    created("face_created", face, parent, replacesParent);
}

void RecordingObserver::volume_created(mg::Grid*, mg::Volume* vol, mg::GridObject* parent,
                                       bool replacesParent)
{
    created("volume_created", vol, parent, replacesParent);
}

void RecordingObserver::vertex_to_be_erased(mg::Grid*, mg::Vertex* vrt, mg::Vertex* replacedBy)
{
    m_log.add(m_tag, "vertex_to_be_erased", vrt, replacedBy, replacedBy ? "by" : nullptr);
}

void RecordingObserver::edge_to_be_erased(mg::Grid*, mg::Edge* edge, mg::Edge* replacedBy)
{
    m_log.add(m_tag, "edge_to_be_erased", edge, replacedBy, replacedBy ? "by" : nullptr);
}

void RecordingObserver::face_to_be_erased(mg::Grid*, mg::Face* face, mg::Face* replacedBy)
{
    m_log.add(m_tag, "face_to_be_erased", face, replacedBy, replacedBy ? "by" : nullptr);
}

void RecordingObserver::volume_to_be_erased(mg::Grid*, mg::Volume* vol, mg::Volume* replacedBy)
{
    m_log.add(m_tag, "volume_to_be_erased", vol, replacedBy, replacedBy ? "by" : nullptr);
}

}  // namespace mg_test
