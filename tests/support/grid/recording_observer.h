#pragma once

#include "dez_odor/grid/grid_observer.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace mg {
class GridObject;
}

namespace mg_test {

// The notifications several observers heard, in the order they arrived, as
// lines "<tag> <notification> <element> [parent|by <element>]". Elements are
// shown by name: tests may name elements; the others are named when they are
// first seen ("v0", "e3", "f1", "vol0", by kind and order of appearance).
class NotificationLog {
public:
    struct Event {
        std::string tag;
        std::string what;  // e.g. "edge_created"
        const mg::GridObject* elem;
        const mg::GridObject* other;  // parent, replaced_by, or null
    };

    void set_name(const mg::GridObject* elem, const std::string& name);
    // The element's name ("-" for null), naming it now when it has none.
    std::string name(const mg::GridObject* elem);

    void add(const std::string& tag, const std::string& what, const mg::GridObject* elem,
             const mg::GridObject* other, const char* otherLabel);

    const std::vector<std::string>& lines() const { return m_lines; }
    const std::vector<Event>& events() const { return m_events; }
    // The lines whose notification is what (e.g. "face_created").
    std::vector<std::string> lines_of(const std::string& what) const;
    void clear();

private:
    std::map<const mg::GridObject*, std::string> m_names;
    std::set<const mg::GridObject*> m_retired;
    std::map<int, int> m_counters;
    std::vector<std::string> m_lines;
    std::vector<Event> m_events;
};

// An observer that writes every notification into a NotificationLog. Bound
// to a grid with observe(), it behaves like the library's selectors: it
// unregisters itself when the grid announces its destruction, and from its
// destructor while still bound.
class RecordingObserver : public mg::GridObserver {
public:
    explicit RecordingObserver(NotificationLog& log, std::string tag = "");
    ~RecordingObserver() override;

    RecordingObserver(const RecordingObserver&) = delete;
    RecordingObserver& operator=(const RecordingObserver&) = delete;

    void observe(mg::Grid& grid, unsigned int observerKinds = mg::OBSERVE_ALL);
    mg::Grid* grid() const { return m_grid; }

    void grid_to_be_destroyed(mg::Grid* grid) override;
    void elements_to_be_cleared(mg::Grid* grid) override;

    void vertex_created(mg::Grid* grid, mg::Vertex* vrt, mg::GridObject* parent,
                        bool replacesParent) override;
    void edge_created(mg::Grid* grid, mg::Edge* edge, mg::GridObject* parent,
                      bool replacesParent) override;
    void face_created(mg::Grid* grid, mg::Face* face, mg::GridObject* parent,
                      bool replacesParent) override;
    void volume_created(mg::Grid* grid, mg::Volume* vol, mg::GridObject* parent,
                        bool replacesParent) override;

    void vertex_to_be_erased(mg::Grid* grid, mg::Vertex* vrt, mg::Vertex* replacedBy) override;
    void edge_to_be_erased(mg::Grid* grid, mg::Edge* edge, mg::Edge* replacedBy) override;
    void face_to_be_erased(mg::Grid* grid, mg::Face* face, mg::Face* replacedBy) override;
    void volume_to_be_erased(mg::Grid* grid, mg::Volume* vol, mg::Volume* replacedBy) override;

private:
    void created(const char* what, const mg::GridObject* elem, const mg::GridObject* parent,
                 bool replacesParent);

    NotificationLog& m_log;
    std::string m_tag;
    mg::Grid* m_grid = nullptr;
};

}  // namespace mg_test
