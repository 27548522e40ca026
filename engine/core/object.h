#pragma once

namespace vo {

class ParameterStack;

// Base of every class that can be made by name through ObjectFactory.
//
// Registered classes follow one convention: a static TYPE_NAME() returning
// the unqualified class name, a static TYPE_ID() returning crc32 of that name
// (computed once, kept in a function-local static), and overrides of
// object_type_name/object_type_id returning the two.
class Object {
public:
    virtual ~Object();

    virtual const char* object_type_name() const = 0;
    virtual unsigned int object_type_id() const = 0;

    // Push the object's properties onto the stack; the default pushes nothing.
    virtual void get_properties(ParameterStack& params) const;
    // Read the properties back in the order they were pushed; the default
    // reads nothing.
    virtual void set_properties(ParameterStack& params);
    // Called by the owner once the object is set up; the default does nothing.
    virtual void initialize();
};

}  // namespace vo
