#pragma once

#include <cstdint>

namespace mg {

// What GridObject::base_object_kind answers.
enum BaseObjectKind { BOK_VERTEX = 0, BOK_EDGE = 1, BOK_FACE = 2, BOK_VOLUME = 3 };

// What GridObject::shape_kind answers.
enum ShapeKind { SK_VERTEX = 0, SK_EDGE = 1, SK_TRIANGLE = 2, SK_QUADRILATERAL = 3 };

template <class TElem, class THandler>
class AttachmentPipe;

// Base of every grid element. Its only data is the data index: the element's
// row in every attachment data array of its element kind, given by the
// attachment pipe when the element is registered with a grid.
class GridObject {
public:
    virtual ~GridObject() = default;

    // A new heap element of the same concrete class with no vertices set;
    // null for classes that cannot be instantiated.
    virtual GridObject* create_empty_instance() const { return nullptr; }
    // The section of its kind's element list that holds this class.
    virtual int container_section() const = 0;
    virtual int base_object_kind() const = 0;
    virtual int shape_kind() const = 0;

    uint32_t data_index() const { return m_dataIndex; }

private:
    template <class TElem, class THandler>
    friend class AttachmentPipe;

    uint32_t m_dataIndex = 0;
};

}  // namespace mg
