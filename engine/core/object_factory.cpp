#include "engine/core/object_factory.h"

#include "engine/core/crc32.h"
#include "engine/core/error.h"
#include "engine/core/object.h"

#include <sstream>

namespace vo {

ObjectFactory::ObjectFactory() = default;
ObjectFactory::~ObjectFactory() = default;

ObjectFactory& ObjectFactory::inst() {
    static ObjectFactory factory;
    return factory;
}

void ObjectFactory::add_type(unsigned int origin, const char* name, unsigned int id, Creator creator) {
    ObjectFactory& f = inst();
    if (f.index_by_id_.count(id)) {
        std::ostringstream msg;
        msg << "Type " << (name ? name : "") << " has already been registered.";
        throw Error(msg.str());
    }
    auto desc = std::make_unique<TypeDesc>(TypeDesc{origin, name ? name : "", id, creator});
    f.types_.reserve(f.types_.size() + 1);  // after this nothing below can throw halfway
    f.index_by_id_[id] = static_cast<unsigned int>(f.types_.size());
    f.types_.push_back(std::move(desc));
}

ObjectFactory::Creator ObjectFactory::find_creator(unsigned int id) {
    ObjectFactory& f = inst();
    auto it = f.index_by_id_.find(id);
    return it == f.index_by_id_.end() ? nullptr : f.types_[it->second]->creator;
}

Object* ObjectFactory::create(unsigned int id) {
    Creator creator = find_creator(id);
    if (!creator) {
        std::ostringstream msg;
        msg << "ERROR in ObjectFactory::create. No type registered for the given id: " << id;
        throw Error(msg.str());
    }
    return creator();
}

Object* ObjectFactory::create(const char* name) {
    const char* text = name ? name : "";
    Creator creator = find_creator(crc32(text));
    if (!creator) {
        std::ostringstream msg;
        msg << "ERROR in ObjectFactory::create. No type registered for the given name: " << text;
        throw Error(msg.str());
    }
    return creator();
}

unsigned int ObjectFactory::num_types() { return static_cast<unsigned int>(inst().types_.size()); }

const ObjectFactory::TypeDesc& ObjectFactory::type_desc(unsigned int index) {
    ObjectFactory& f = inst();
    if (index >= f.types_.size()) {
        std::ostringstream msg;
        msg << "ObjectFactory::type_desc: index " << index << " out of range (" << f.types_.size()
            << " types registered).";
        throw Error(msg.str());
    }
    return *f.types_[index];
}

}  // namespace vo
