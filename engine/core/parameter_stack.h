#pragma once

#include "engine/core/variant.h"

#include <vector>

namespace vo {

// An ordered list of named values: a writer pushes them, a reader takes them
// back in the same order, positionally (empty/top/param_desc/pop) or by name
// (get), where a name is only searched from the current read position on.
class ParameterStack {
public:
    struct ParamDesc {
        unsigned int flags;  // carried along, not interpreted
        const char* name;    // borrowed: must outlive the stack
    };

    ParameterStack();
    ParameterStack(const ParameterStack& other);
    ParameterStack& operator=(const ParameterStack& other);
    ~ParameterStack();

    void push(const Variant& value, unsigned int flags, const char* name);
    void push(const Variant& value, const char* name);

    // The entry at the read position; test empty() first.
    const Variant& top() const;
    const ParamDesc& param_desc() const;
    // Advances the read position; nothing is removed.
    void pop();
    // True once every entry has been read, not when the list has no entries.
    bool empty() const;

    // Searches the entries from the read position to the end for the first
    // one named name and moves the read position onto it (not past it).
    // Throws Error when there is none; the read position is then unchanged.
    const Variant& get(const char* name);
    // As above, but gives a copy of default_value when no entry matches, and
    // the read position stays. Returns by value so that a temporary default
    // never leaves the caller with a dangling reference.
    Variant get(const char* name, const Variant& default_value);

    // Destroys every entry and rewinds the read position.
    void clear();

private:
    struct Entry {
        Variant value;
        ParamDesc desc;
    };

    // Index of the first entry at or after the read position named name;
    // the number of entries when there is none.
    unsigned int find(const char* name) const;

    std::vector<Entry> entries_;
    unsigned int read_index_ = 0;
};

}  // namespace vo
