#pragma once

#include "dez_odor/grid/attachment_data_container.h"

#include <cstdint>

namespace mg {

// Base of every attachment: a process-wide id. The counter starts at 1 and
// every constructed attachment takes the next value; a copy (or clone) keeps
// the id of its original and takes none. Ids are never reused.
class UID {
public:
    UID();
    UID(const UID& other) = default;
    UID& operator=(const UID& other) = default;
    virtual ~UID() = default;

    uint32_t id() const { return m_id; }

private:
    uint32_t m_id;
};

// Names one kind of per-element data of one value type. Attachments are told
// apart by id alone; the name is a label (not owned, not copied). The pass-on
// flag says whether the values follow elements when a whole grid is copied.
class IAttachment : public UID {
public:
    IAttachment(const char* name, bool passOn) : m_name(name), m_passOn(passOn) {}

    // A new heap attachment of the same type with the same id and name.
    virtual IAttachment* clone() const = 0;
    // A new, empty container of the attachment's value type, without default.
    virtual IAttachmentDataContainer* create_container() const = 0;
    bool default_pass_on_behaviour() const { return m_passOn; }

    const char* name() const { return m_name; }

private:
    const char* m_name;
    bool m_passOn;
};

template <class T>
class Attachment : public IAttachment {
public:
    using value_type = T;
    using container_type = AttachmentDataContainer<T>;

    explicit Attachment(const char* name = "undefined", bool passOn = false)
        : IAttachment(name, passOn)
    {
    }

    IAttachment* clone() const override { return new Attachment(*this); }
    IAttachmentDataContainer* create_container() const override { return new container_type; }
};

}  // namespace mg
