#include "engine/core/parameter_stack.h"

#include "engine/core/error.h"

#include <cstring>
#include <string>

namespace vo {

ParameterStack::ParameterStack() = default;
ParameterStack::ParameterStack(const ParameterStack& other) = default;
ParameterStack& ParameterStack::operator=(const ParameterStack& other) = default;
ParameterStack::~ParameterStack() = default;

void ParameterStack::push(const Variant& value, unsigned int flags, const char* name) {
    entries_.push_back(Entry{value, ParamDesc{flags, name}});
}

void ParameterStack::push(const Variant& value, const char* name) { push(value, 0, name); }

const Variant& ParameterStack::top() const { return entries_[read_index_].value; }

const ParameterStack::ParamDesc& ParameterStack::param_desc() const { return entries_[read_index_].desc; }

void ParameterStack::pop() { ++read_index_; }

bool ParameterStack::empty() const { return read_index_ >= entries_.size(); }

unsigned int ParameterStack::find(const char* name) const {
    const unsigned int count = static_cast<unsigned int>(entries_.size());
    if (!name) return count;
    for (unsigned int i = read_index_; i < count; ++i) {
        const char* entry_name = entries_[i].desc.name;
        if (entry_name && std::strcmp(entry_name, name) == 0) return i;
    }
    return count;
}

const Variant& ParameterStack::get(const char* name) {
    const unsigned int index = find(name);
    if (index >= entries_.size()) {
        std::string msg = "ParameterStack::get: No parameter with name '";
        msg += name ? name : "";
        msg += "' was found on stack.";
        throw Error(msg);
    }
    read_index_ = index;
    return entries_[index].value;
}

Variant ParameterStack::get(const char* name, const Variant& default_value) {
    const unsigned int index = find(name);
    if (index >= entries_.size()) return default_value;
    read_index_ = index;
    return entries_[index].value;
}

void ParameterStack::clear() {
    entries_.clear();
    read_index_ = 0;
}

}  // namespace vo
