#pragma once

#include "dez_odor/grid/attachment.h"
#include "dez_odor/grid/attachment_accessor.h"
#include "dez_odor/grid/attachment_pipe.h"
#include "dez_odor/grid/base_elements.h"
#include "dez_odor/grid/element_pointer_array.h"
#include "dez_odor/grid/element_collection.h"
#include "dez_odor/grid/element_iterator.h"
#include "dez_odor/grid/element_storage.h"
#include "dez_odor/grid/grid_observer.h"
#include "dez_odor/grid/grid_options.h"
#include "dez_odor/grid_objects/grid_objects.h"

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

namespace mg {

class CallbackRegistry;
class DistributionManager;

// The mesh container of the grid library. A grid owns the vertices, edges,
// faces and volumes registered with it and deletes those it erases. It keeps
// them in sectioned element lists with per-element data in attachment pipes,
// maintains the neighbourhoods its options ask for (grid_options.h), offers
// one marking pass at a time, and tells its observers about every element
// created or about to be erased.
class Grid {
public:
    using VertexStorage = ElementStorage<Vertex>;
    using EdgeStorage = ElementStorage<Edge>;
    using FaceStorage = ElementStorage<Face>;
    using VolumeStorage = ElementStorage<Volume>;

    using VertexAttachmentPipe = VertexStorage::pipe_type;
    using EdgeAttachmentPipe = EdgeStorage::pipe_type;
    using FaceAttachmentPipe = FaceStorage::pipe_type;
    using VolumeAttachmentPipe = VolumeStorage::pipe_type;

    // Iterator over the elements of TElem (a kind or a concrete class).
    template <class TElem>
    using iterator = ElementIterator<TElem>;

    using VertexIterator = ElementIterator<Vertex>;
    using EdgeIterator = ElementIterator<Edge>;
    using FaceIterator = ElementIterator<Face>;
    using VolumeIterator = ElementIterator<Volume>;

    // Stored neighbourhoods.
    using AssociatedVertexIterator = std::vector<Vertex*>::iterator;
    using AssociatedEdgeIterator = std::vector<Edge*>::iterator;
    using AssociatedFaceIterator = std::vector<Face*>::iterator;
    using AssociatedVolumeIterator = std::vector<Volume*>::iterator;

    // Options GRIDOPT_DEFAULT (0x10080007).
    Grid();
    explicit Grid(unsigned int options);
    // An empty grid with src's options, then a copy of src (operator=).
    Grid(const Grid& src);
    // Tells the observers, then erases every element.
    virtual ~Grid();

    // Replaces the content by a copy of src: the same elements in the same
    // list order (vertices get fresh hash numbers), src's options, and the
    // values of every attachment src attached with pass-on.
    Grid& operator=(const Grid& src);

    // The grid's four section containers as one record.
    virtual ElementCollection get_element_collection();

    // ----- elements -------------------------------------------------------

    // Erases every element; the options stay.
    void clear_geometry();

    // Adds an element created by the caller; the grid takes ownership and
    // tells the observers (with the parent). register_edge links the edge to
    // the faces and volumes its options ask for; createdByFace and
    // createdByVolume name the element that made the edge, if any.
    void register_vertex(Vertex* vrt, GridObject* parent = nullptr);
    void register_edge(Edge* edge, GridObject* parent = nullptr, Face* createdByFace = nullptr,
                       Volume* createdByVolume = nullptr);
    void register_face(Face* face, GridObject* parent = nullptr, Volume* createdByVolume = nullptr);
    void register_volume(Volume* vol, GridObject* parent = nullptr);

    // Tell the observers, remove what depends on the element (as the options
    // say), and unlink it. The element is not deleted; erase does both.
    void unregister_vertex(Vertex* vrt);
    void unregister_edge(Edge* edge);
    void unregister_face(Face* face);
    void unregister_volume(Volume* vol);

    // New elements, registered with the given parent:
    //   create<RegularVertex>(parent)
    //   create<RegularEdge>(EdgeDescriptor(a, b), parent)
    //   create<Triangle>(TriangleDescriptor(a, b, c), parent)
    // A parent of any element class (create<RegularVertex>(edge)) takes the
    // first form.
    template <class TElem>
    iterator<TElem> create(GridObject* parent = nullptr);
    template <class TElem, class TDescriptor,
              class = std::enable_if_t<!std::is_convertible<TDescriptor, GridObject*>::value>>
    iterator<TElem> create(const TDescriptor& desc, GridObject* parent = nullptr);

    // A new element of the template's concrete class.
    VertexIterator create_by_cloning(Vertex* tmpl, GridObject* parent = nullptr);
    EdgeIterator create_by_cloning(Edge* tmpl, const EdgeVertices& ev,
                                   GridObject* parent = nullptr);

    // Unregister and delete. The element must belong to this grid.
    void erase(Vertex* vrt);
    void erase(Edge* edge);
    void erase(Face* face);
    void erase(Volume* vol);

    // Swaps the two vertices of the edge; nothing else changes, nobody is told.
    void flip_orientation(Edge* edge);

    // The edge with the two vertices (either order), or null.
    Edge* get_edge(const EdgeVertices& ev);
    Edge* get_edge(Vertex* v0, Vertex* v1);
    // Side i of a face, edge i of a volume, face i of a volume, or null.
    Edge* get_edge(Face* face, int i);
    Edge* get_edge(Volume* vol, int i);
    Face* get_face(Volume* vol, int i);
    // The face with the vertex set of fv, or null.
    Face* get_face(const FaceVertices& fv);

    // Copies the value of every pass-on attachment of the kind from src to dest.
    void pass_on_values(Face* src, Face* dest);
    void pass_on_values(Volume* src, Volume* dest);

    // Parallel mode does not exist in this build: true throws MGError.
    void set_parallel(bool parallel);
    bool is_parallel() const { return m_distributionManager != nullptr; }

    // ----- counts and iteration ------------------------------------------

    size_t num_vertices() const { return m_vertices.num_elements(); }
    size_t num_edges() const { return m_edges.num_elements(); }
    size_t num_faces() const { return m_faces.num_elements(); }
    size_t num_volumes() const { return m_volumes.num_elements(); }

    // Elements of a kind (Vertex, Edge, Face, Volume) or of one concrete
    // class (RegularVertex, RegularEdge, Triangle, Quadrilateral, ...).
    template <class TElem>
    size_t num() const;
    // A kind runs through its whole list, section after section; a concrete
    // class through its section only, in registration order.
    template <class TElem>
    iterator<TElem> begin() const;
    template <class TElem>
    iterator<TElem> end() const;

    // ----- attachments ----------------------------------------------------

    VertexAttachmentPipe& vertex_attachment_pipe() { return m_vertices.pipe(); }
    EdgeAttachmentPipe& edge_attachment_pipe() { return m_edges.pipe(); }
    FaceAttachmentPipe& face_attachment_pipe() { return m_faces.pipe(); }
    VolumeAttachmentPipe& volume_attachment_pipe() { return m_volumes.pipe(); }
    // The pipe of TElem's kind: attachment_pipe<Vertex>() ...
    template <class TElem>
    typename ElementStorage<typename TElem::base_object>::pipe_type& attachment_pipe()
    {
        return storage<typename TElem::base_object>().pipe();
    }
    // The element storage of TElem's kind (selectors and subset handlers bind
    // their element lists to it).
    template <class TElem>
    ElementStorage<typename TElem::base_object>& element_storage()
    {
        return storage<typename TElem::base_object>();
    }

    // Attaching with the attachment's own pass-on flag, or with the one given.
    void attach_to_vertices(const IAttachment& a)
    {
        attach_to<Vertex>(a, a.default_pass_on_behaviour());
    }
    void attach_to_edges(const IAttachment& a)
    {
        attach_to<Edge>(a, a.default_pass_on_behaviour());
    }
    void attach_to_faces(const IAttachment& a)
    {
        attach_to<Face>(a, a.default_pass_on_behaviour());
    }
    void attach_to_volumes(const IAttachment& a)
    {
        attach_to<Volume>(a, a.default_pass_on_behaviour());
    }
    void attach_to_vertices(const IAttachment& a, bool passOn) { attach_to<Vertex>(a, passOn); }
    void attach_to_edges(const IAttachment& a, bool passOn) { attach_to<Edge>(a, passOn); }
    void attach_to_faces(const IAttachment& a, bool passOn) { attach_to<Face>(a, passOn); }
    void attach_to_volumes(const IAttachment& a, bool passOn) { attach_to<Volume>(a, passOn); }

    // Attaching with a default value: new elements (and reused rows) start
    // with it. No effect when the attachment is attached already.
    template <class T>
    void attach_to_vertices_with_default(const Attachment<T>& a, const T& value)
    {
        attach_to_with_default<Vertex>(a, value, a.default_pass_on_behaviour());
    }
    template <class T>
    void attach_to_edges_with_default(const Attachment<T>& a, const T& value)
    {
        attach_to_with_default<Edge>(a, value, a.default_pass_on_behaviour());
    }
    template <class T>
    void attach_to_faces_with_default(const Attachment<T>& a, const T& value)
    {
        attach_to_with_default<Face>(a, value, a.default_pass_on_behaviour());
    }
    template <class T>
    void attach_to_volumes_with_default(const Attachment<T>& a, const T& value)
    {
        attach_to_with_default<Volume>(a, value, a.default_pass_on_behaviour());
    }
    template <class T>
    void attach_to_vertices_with_default(const Attachment<T>& a, const T& value, bool passOn)
    {
        attach_to_with_default<Vertex>(a, value, passOn);
    }
    template <class T>
    void attach_to_edges_with_default(const Attachment<T>& a, const T& value, bool passOn)
    {
        attach_to_with_default<Edge>(a, value, passOn);
    }
    template <class T>
    void attach_to_faces_with_default(const Attachment<T>& a, const T& value, bool passOn)
    {
        attach_to_with_default<Face>(a, value, passOn);
    }
    template <class T>
    void attach_to_volumes_with_default(const Attachment<T>& a, const T& value, bool passOn)
    {
        attach_to_with_default<Volume>(a, value, passOn);
    }

    // Removes the attachment and its values; no effect when it is not attached.
    void detach_from_vertices(const IAttachment& a) { m_vertices.pipe().detach(a); }
    void detach_from_edges(const IAttachment& a) { m_edges.pipe().detach(a); }
    void detach_from_faces(const IAttachment& a) { m_faces.pipe().detach(a); }
    void detach_from_volumes(const IAttachment& a) { m_volumes.pipe().detach(a); }

    bool has_vertex_attachment(const IAttachment& a) const
    {
        return m_vertices.pipe().has_attachment(a);
    }
    bool has_edge_attachment(const IAttachment& a) const
    {
        return m_edges.pipe().has_attachment(a);
    }
    bool has_face_attachment(const IAttachment& a) const
    {
        return m_faces.pipe().has_attachment(a);
    }
    bool has_volume_attachment(const IAttachment& a) const
    {
        return m_volumes.pipe().has_attachment(a);
    }

    template <class TElem>
    void attach_to(const IAttachment& a, bool passOn)
    {
        attachment_pipe<TElem>().attach(a, passOn);
    }
    template <class TElem, class T>
    void attach_to_with_default(const Attachment<T>& a, const T& value, bool passOn)
    {
        attachment_pipe<TElem>().attach(a, value, passOn);
    }

    // ----- observers ------------------------------------------------------

    // Adds the observer to the lists named by the bits of observerKinds
    // (GridObserverKind); an observer stands at most once in each list.
    void register_observer(GridObserver* observer, unsigned int observerKinds = OBSERVE_ALL);
    // Removes the observer from every list. Allowed inside a notification.
    void unregister_observer(GridObserver* observer);
    // Tells every grid observer but except that the grid is about to be
    // destroyed (newest first), then unregisters all observers.
    void notify_and_clear_observers(GridObserver* except = nullptr);

    // ----- options (grid_options.h) ---------------------------------------

    unsigned int get_options() const { return m_options; }
    // True when every bit of option is set.
    bool option_is_enabled(unsigned int option) const { return (m_options & option) == option; }
    // Switches the given options on in addition to the present ones.
    void enable_options(unsigned int options);
    // Brings one kind's options to the bits given (bits of other kinds are
    // ignored): switching a store option on fills it from the present
    // elements, switching it off drops it.
    void change_vertex_options(unsigned int options);
    void change_edge_options(unsigned int options);
    void change_face_options(unsigned int options);
    void change_volume_options(unsigned int options);
    // Applies a whole options word, kind by kind.
    void change_options(unsigned int options);

    void vertex_store_associated_edges(bool enable);
    void vertex_store_associated_faces(bool enable);
    void vertex_store_associated_volumes(bool enable);
    void edge_store_associated_faces(bool enable);
    void edge_store_associated_volumes(bool enable);
    void face_store_associated_edges(bool enable);
    void face_store_associated_volumes(bool enable);
    void face_autogenerate_edges(bool enable);
    void volume_store_associated_edges(bool enable);
    void volume_store_associated_faces(bool enable);
    void volume_autogenerate_edges(bool enable);
    void volume_autogenerate_faces(bool enable);

    // Stored neighbourhoods. Each switches its option on (with a warning)
    // when it is off. The iterators stay valid until the neighbourhood changes.
    AssociatedEdgeIterator associated_edges_begin(Vertex* vrt);
    AssociatedEdgeIterator associated_edges_end(Vertex* vrt);
    AssociatedEdgeIterator associated_edges_begin(Face* face);
    AssociatedEdgeIterator associated_edges_end(Face* face);
    AssociatedEdgeIterator associated_edges_begin(Volume* vol);
    AssociatedEdgeIterator associated_edges_end(Volume* vol);
    AssociatedFaceIterator associated_faces_begin(Vertex* vrt);
    AssociatedFaceIterator associated_faces_end(Vertex* vrt);
    AssociatedFaceIterator associated_faces_begin(Edge* edge);
    AssociatedFaceIterator associated_faces_end(Edge* edge);
    AssociatedFaceIterator associated_faces_begin(Volume* vol);
    AssociatedFaceIterator associated_faces_end(Volume* vol);
    AssociatedVolumeIterator associated_volumes_begin(Vertex* vrt);
    AssociatedVolumeIterator associated_volumes_end(Vertex* vrt);
    AssociatedVolumeIterator associated_volumes_begin(Edge* edge);
    AssociatedVolumeIterator associated_volumes_end(Edge* edge);
    AssociatedVolumeIterator associated_volumes_begin(Face* face);
    AssociatedVolumeIterator associated_volumes_end(Face* face);

    // The neighbours of an element: a view on the stored neighbourhood where
    // there is one, else a filled list.
    void get_associated(ElementPointerArray<Edge*>& edgesOut, Face* face);
    void get_associated(ElementPointerArray<Edge*>& edgesOut, Vertex* vrt);
    void get_associated(ElementPointerArray<Face*>& facesOut, Edge* edge);
    void get_associated(ElementPointerArray<Face*>& facesOut, Vertex* vrt);

    // ----- marking --------------------------------------------------------

    // One pass at a time: begin_marking throws MGError while a pass is active.
    void begin_marking();
    void end_marking();
    bool is_marking() const { return m_markingActive; }

    void mark(Vertex* elem) { m_markVrt[elem] = static_cast<int>(m_currentMark); }
    void mark(Edge* elem) { m_markEdge[elem] = static_cast<int>(m_currentMark); }
    void mark(Face* elem) { m_markFace[elem] = static_cast<int>(m_currentMark); }
    void mark(Volume* elem) { m_markVol[elem] = static_cast<int>(m_currentMark); }
    // Marked in the current pass.
    bool is_marked(Vertex* elem) const
    {
        return m_markVrt[elem] == static_cast<int>(m_currentMark);
    }
    bool is_marked(Edge* elem) const { return m_markEdge[elem] == static_cast<int>(m_currentMark); }
    bool is_marked(Face* elem) const { return m_markFace[elem] == static_cast<int>(m_currentMark); }
    bool is_marked(Volume* elem) const
    {
        return m_markVol[elem] == static_cast<int>(m_currentMark);
    }

private:
    friend class GridTestAccess;  // tests reach the marking counter

    template <class TBase>
    ElementStorage<TBase>& storage();
    template <class TBase>
    const ElementStorage<TBase>& storage() const;

    // Puts the element into its pipe and section.
    template <class TBase>
    void link_element(TBase* elem)
    {
        storage<TBase>().insert(elem);
    }
    // Takes it out of both again.
    template <class TBase>
    void unlink_element(TBase* elem)
    {
        storage<TBase>().erase(elem);
    }
    // register_vertex, register_edge, ... by the element's kind.
    template <class TElem>
    void register_element(TElem* elem, GridObject* parent);

    // Observer notification. Lists are walked by index and observers removed
    // during a walk are only nulled, so that an observer may unregister
    // itself (or another) while it is being told something.
    struct NotificationScope;
    void compact_observer_lists();
    template <class TNotify>
    void notify_oldest_first(std::vector<GridObserver*>& observers, TNotify notify);
    template <class TNotify>
    void notify_newest_first(std::vector<GridObserver*>& observers, TNotify notify);

    void init_marks();
    void reset_marks();

    // Options
    void sort_volume_edges_into_order();
    // Switches an option on with its warning when it is off.
    void ensure_option(unsigned int option, void (Grid::*setter)(bool), const char* warning);
    void warn(const char* text) const;

    using VertexContainer = std::vector<Vertex*>;
    using EdgeContainer = std::vector<Edge*>;
    using FaceContainer = std::vector<Face*>;
    using VolumeContainer = std::vector<Volume*>;

    VertexStorage m_vertices;
    EdgeStorage m_edges;
    FaceStorage m_faces;
    VolumeStorage m_volumes;

    unsigned int m_options = 0;
    uint32_t m_hashCounter = 0;

    std::vector<GridObserver*> m_gridObservers;
    std::vector<GridObserver*> m_vertexObservers;
    std::vector<GridObserver*> m_edgeObservers;
    std::vector<GridObserver*> m_faceObservers;
    std::vector<GridObserver*> m_volumeObservers;
    int m_notificationDepth = 0;
    bool m_observerListsHaveGaps = false;

    Attachment<VertexContainer> m_aVertexContainer;
    Attachment<EdgeContainer> m_aEdgeContainer;
    Attachment<FaceContainer> m_aFaceContainer;
    Attachment<VolumeContainer> m_aVolumeContainer;

    AttachmentAccessor<Vertex, EdgeContainer> m_vrtEdges;
    AttachmentAccessor<Vertex, FaceContainer> m_vrtFaces;
    AttachmentAccessor<Vertex, VolumeContainer> m_vrtVolumes;
    AttachmentAccessor<Edge, FaceContainer> m_edgeFaces;
    AttachmentAccessor<Edge, VolumeContainer> m_edgeVolumes;
    AttachmentAccessor<Face, EdgeContainer> m_faceEdges;
    AttachmentAccessor<Face, VolumeContainer> m_faceVolumes;
    AttachmentAccessor<Volume, EdgeContainer> m_volEdges;
    AttachmentAccessor<Volume, FaceContainer> m_volFaces;

    uint32_t m_currentMark = 0;
    bool m_markingActive = false;
    Attachment<int> m_aMark;
    AttachmentAccessor<Vertex, int> m_markVrt;
    AttachmentAccessor<Edge, int> m_markEdge;
    AttachmentAccessor<Face, int> m_markFace;
    AttachmentAccessor<Volume, int> m_markVol;

    std::shared_ptr<CallbackRegistry> m_callbackRegistry;
    std::unique_ptr<DistributionManager> m_distributionManager;
};

}  // namespace mg

#include "dez_odor/grid/grid_impl.h"
