#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vo {

class Object;

// The process-wide registry of the classes that can be made by type id or by
// type name. Types are registered once and never removed.
class ObjectFactory {
public:
    using Creator = Object* (*)();

    // One registered type.
    struct TypeDesc {
        unsigned int origin;  // 0 for the engine's types, 1 for the game's
        std::string name;
        unsigned int id;
        Creator creator;  // a new default-constructed object; the caller owns it
    };

    // Registers T under T::TYPE_NAME() and T::TYPE_ID(). Throws Error
    // "Type <name> has already been registered." when the id is taken.
    template <class T>
    static void register_type(unsigned int origin) {
        add_type(origin, T::TYPE_NAME(), T::TYPE_ID(), &create_instance<T>);
    }

    // A new object of the registered type; the caller owns it. Throw Error
    // when no type has the id or name.
    static Object* create(unsigned int id);
    static Object* create(const char* name);

    static unsigned int num_types();
    // The description at a registration position; throws Error when index is
    // not below num_types().
    static const TypeDesc& type_desc(unsigned int index);

    ObjectFactory(const ObjectFactory&) = delete;
    ObjectFactory& operator=(const ObjectFactory&) = delete;
    ~ObjectFactory();

private:
    ObjectFactory();
    static ObjectFactory& inst();

    static void add_type(unsigned int origin, const char* name, unsigned int id, Creator creator);
    static Creator find_creator(unsigned int id);  // null when the id is unknown

    template <class T>
    static Object* create_instance() {
        return new T();
    }

    std::vector<std::unique_ptr<TypeDesc>> types_;
    std::map<unsigned int, unsigned int> index_by_id_;
};

}  // namespace vo
