// Items dropped at the start of a turn and picked up by slobs: the weighted
// draw from "items.info", the item bodies placed on the level, the pick-up
// when a slob touches one, and the power-ups a team may switch on.

#include "game/match/match.h"

#include "engine/audio/sound_handler.h"
#include "engine/core/random.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/health.h"
#include "engine/widgets/button_widget.h"
#include "game/behaviors/game_events.h"
#include "game/behaviors/item.h"
#include "game/behaviors/soft_body_entities.h"
#include "game/level/data_rules.h"
#include "game/match/match_entities.h"
#include "game/menus/weapon_select_widget.h"

#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <iostream>

namespace vo {

// The bounding sphere of every body of the scene, radius doubled: new item
// bodies are kept clear of them.
void Match::collect_body_spheres() {
    occupied_spheres_.clear();
    const unsigned count = scene_.num_entities();
    for (unsigned i = 0; i < count; ++i) {
        SoftBody* body = BodyOf(scene_.entity(i));
        if (!body) continue;
        Sphere sphere = body->calculate_bounding_sphere();
        sphere.radius() *= 2.0f;
        occupied_spheres_.push_back(sphere);
    }
}

// One draw: an item with the chance "frequency" (at most 1), each item
// weighed by its "relativeFrequency".
std::string Match::draw_random_item() {
    float frequency = scene_.items.get<float>("frequency", 0.0f);
    if (!(frequency > 0.0f)) return std::string();
    if (frequency > 1.0f) frequency = 1.0f;
    const ptree& items = scene_.items.get_child("items");
    float sum = 0.0f;
    for (const auto& item : items) sum += item.second.get<float>("relativeFrequency", 0.0f);

    const double rand_max = sum / frequency;
    int r = Rand();
    if (r == kRandMax) r = kRandMax - 1;
    const double rand_num = (r / 32767.0) * rand_max;
    std::cout << "randMax: " << rand_max << std::endl;
    std::cout << "randNum: " << rand_num << std::endl;

    float reached = 0.0f;
    for (const auto& item : items) {
        reached += item.second.get<float>("relativeFrequency", 0.0f);
        if (reached >= rand_num) return "items." + item.first;
    }
    return std::string();
}

// The item body of path, placed on the level clear of the other bodies.
Entity* Match::add_item(std::string const& path) {
    Entity* item = scene_.create_item(path, vector3(0.0f, 0.0f, 0.0f));
    place_entity(item);
    return item;
}

// A slob touching an item takes it; anything else leaves it lying. An item
// is taken once, even when two slobs touch it in the same step.
bool Match::on_game_event(const GameEvent* event) {
    if (event->type != EventTypeId<ItemEvent>()) return false;
    const ItemEvent& contact = *event->cast<ItemEvent>();
    if (!is_live_entity(contact.item)) return false;
    auto* item = contact.item->get_behavior<behaviors::Item>();
    auto* slob = dynamic_cast<SlobEntity*>(contact.other);
    if (!item || !slob) return false;
    if (SlobRecord* taker = find_slob_record(slob)) {
        pickup_item(item->description, *taker);
        contact.item->kill_entity();
    }
    return false;
}

void Match::pickup_item(ptree const& item, SlobRecord& taker) {
    TeamState& team = teams_[static_cast<std::size_t>(taker.team)];
    const bool acting_team = taker.team == current_team_;
    notify((team.desc ? team.desc->name : std::string()) + " Got " + item.get<std::string>("name", "UNDEFINED"));
    SoundHandler::play_sound("item-pickup.wav", 100.0f);

    const std::vector<std::string> weapons = AvailableWeaponNames(scene_.weapons);
    for (const auto& effect : item) {
        if (effect.first == "addHealth") {
            if (behaviors::Health* health = HealthOf(taker.entity)) health->value += effect.second.get_value<float>();
        } else if (effect.first == "addWeapon") {
            const std::string weapon = effect.second.data();
            // The load rules refuse such an item; a weapon without a button
            // could never be thrown.
            if (std::find(weapons.begin(), weapons.end(), weapon) == weapons.end()) {
                std::cout << "WARNING: an item gives the weapon '" << weapon
                          << "', which is no available weapon; ignored" << std::endl;
                continue;
            }
            int& count = team.weapon_counts[weapon];
            if (count >= 0) ++count;
            if (acting_team && weapon_select_) {
                weapon_select_->set_weapon_counts(team.weapon_counts);
                weapon_select_->update_weapon(weapon);
            }
        } else if (effect.first == "addRotateWorld") {
            const int more = effect.second.get_value<int>();
            if (team.world_rotations_left >= 0) team.world_rotations_left += more;
            if (acting_team && world_rotate_button_) {
                update_world_rotate_button();
                if (team.world_rotations_left > 0) world_rotate_button_->enable_state(WS_ENABLED);
                // The button pops: twice its size, back to rest in half a
                // second.
                if (world_rotate_rest_frame_.width() == 0.0f) world_rotate_rest_frame_ = world_rotate_button_->frame();
                Frame popped = world_rotate_rest_frame_;
                popped.scale(2.0f, 2.0f, 0.8f, 0.8f);
                world_rotate_button_->set_frame(popped);
                world_rotate_button_->tween_to(world_rotate_rest_frame_, 0.5);
            }
        }
    }
}

bool Match::use_power_up(int kind, bool consume) {
    TeamState* team = current_team_state();
    if (!team) return false;
    for (TeamPowerUp& power_up : team->power_ups) {
        if (power_up.power_up.kind != kind || !power_up.button) continue;
        if (!power_up.button->is_checkable() || !power_up.button->is_pressed()) continue;
        if (consume) power_up.used = true;
        return true;
    }
    return false;
}

}  // namespace vo
