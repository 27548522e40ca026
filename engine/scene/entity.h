#pragma once

#include "engine/core/aabox.h"
#include "engine/core/object.h"
#include "engine/core/smart_ptr.h"
#include "engine/core/type_key.h"
#include "engine/scene/behavior.h"

#include <memory>
#include <string>
#include <vector>

namespace vo {

class BinaryBuffer;
class EditGrip;
class GameEvent;
class IScene;

// A scene object assembled from behaviors. The entity owns its behaviors and
// keeps them in the order of addition: it initializes, updates and finalizes
// them in that order, forwards properties, edit grips and game events to them
// and merges their bounding boxes. Copies are made only through clone().
class Entity : public Object {
public:
    static const char* TYPE_NAME();
    static unsigned int TYPE_ID();

    Entity();
    // Finalizes and deletes the behaviors, in the order of addition.
    ~Entity() override;

    Entity& operator=(const Entity&) = delete;

    const char* object_type_name() const override;
    unsigned int object_type_id() const override;

    // Each passes the call to every behavior in the order of addition.
    void get_properties(ParameterStack& params) const override;
    void set_properties(ParameterStack& params) override;
    void initialize() override;

    virtual void serialize(BinaryBuffer& buffer) const;  // writes nothing
    virtual void deserialize(BinaryBuffer& buffer);      // reads nothing
    virtual void get_edit_grips(std::vector<SmartPtr<EditGrip>>& grips);

    // A new entity with clones of the behaviors (same names, same order, not
    // initialized), no scene, the kill flag and current box of this one, last
    // dt 0 and no last box. A derived entity overrides it to make its own
    // class: `auto* e = new Derived(*this); e->clone_behaviors(*this);`.
    virtual Entity* clone() const;

    // Updates the behaviors in order and merges their boxes into the
    // entity's box; the previous box becomes the last box.
    virtual void update(float dt);
    // Passes the event to the behaviors that accepted game events when they
    // were added, in order.
    virtual void handle_game_event(const GameEvent& event);

    // Adds a new default-constructed T, under name when it is not null, and
    // returns it. Nothing is initialized here.
    template <class T>
    T* add_behavior(const char* name = nullptr) {
        std::unique_ptr<T> behavior(new T());
        T* result = behavior.get();
        add_behavior_entry(std::move(behavior), TypeKey<T>(), name);
        return result;
    }

    // The first behavior of exactly class T (a subclass does not match),
    // also named name when name is not null; null when none is.
    template <class T>
    T* get_behavior(const char* name = nullptr) const {
        return static_cast<T*>(get_behavior_by_key(TypeKey<T>(), name));
    }

    // The same lookup by the key TypeKey<T>() of the class.
    IBehavior* get_behavior_by_key(unsigned int type_key, const char* name = nullptr) const;

    // The first behavior added under name; null when none was.
    IBehavior* get_behavior_by_name(const char* name) const;

    void kill_entity() { killed_ = true; }
    bool was_killed() const { return killed_; }

    IScene* get_scene() const { return scene_; }
    void set_scene(IScene* scene, void* info) {
        scene_ = scene;
        scene_info_ = info;
    }
    void* get_scene_info_object() const { return scene_info_; }

    // Copy the stored box into out (whatever it holds) and answer whether it
    // is valid.
    bool bounding_box(AABox& out) const;
    bool last_bounding_box(AABox& out) const;

    double last_dt() const { return last_dt_; }

protected:
    // Starts without behaviors and without scene; copies the kill flag and
    // the current box; last dt 0 and no last box. clone() adds the behaviors.
    Entity(const Entity& source);

    // Appends clones of the source's behaviors with their keys and names.
    virtual void clone_behaviors(const Entity& source);

private:
    struct BehaviorEntry {
        std::unique_ptr<IBehavior> behavior;
        unsigned int type_key;
        std::string name;
    };

    void add_behavior_entry(std::unique_ptr<IBehavior> behavior, unsigned int type_key, const char* name);

    std::vector<std::unique_ptr<BehaviorEntry>> behaviors_;
    std::vector<BehaviorEntry*> event_behaviors_;  // entries of behaviors_
    IScene* scene_ = nullptr;
    void* scene_info_ = nullptr;
    bool killed_ = false;
    double last_dt_ = 0.0;
    bool has_bounding_box_ = false;
    bool has_last_bounding_box_ = false;
    AABox bounding_box_;
    AABox last_bounding_box_;
};

}  // namespace vo
