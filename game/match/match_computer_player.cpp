// The computer player's part in a match: its difficulty, the description of
// the match it plays from, the start of its turns and its steps. Its
// controls go through the same turn control as a human player's.

#include "game/match/match.h"

#include "engine/scene/entity.h"
#include "engine/scene/health.h"
#include "game/match/match_entities.h"

#include <algorithm>

namespace vo {

void Match::prepare_computer_player() {
    // The difficulty indexes the error table: only 0 .. 2 exist.
    ai_->difficulty = std::min(std::max(cpu_level_, 0), 2);
    // Slobs that die during a computer turn leave the player's description
    // before it reads them again.
    ai_->set_world_source([this] {
        WorldDesc world;
        fill_world_desc(world);
        return world;
    });
}

void Match::begin_computer_turn() {
    fill_world_desc(world_desc_);
    EntityDesc self;
    self.kind = 1;
    self.entity = acting_slob();
    self.team = current_team_;
    ai_->begin_turn(self, world_desc_);
}

void Match::drive_computer_player(double dt) {
    ai_->update(dt);
    control_active_slob(dt, ai_->controls());
}

void Match::fill_world_desc(WorldDesc& world) {
    world.clear();
    world.collision_node = level_->collision_node();
    world.scene = &scene_;
    world.config = config_;
    for (std::size_t t = 0; t < teams_.size(); ++t) {
        TeamSummary summary;
        float health_sum = 0.0f;
        for (int index : teams_[t].members) {
            Entity* entity = slobs_[static_cast<std::size_t>(index)].entity;
            const behaviors::Health* health = HealthOf(entity);
            if (!entity || !health || !(health->value > 0.0f)) continue;
            EntityDesc desc;
            desc.kind = 1;
            desc.entity = entity;
            desc.team = static_cast<int>(t);
            world.entities.push_back(desc);
            summary.living += 1;
            health_sum += health->value;
        }
        summary.health = static_cast<int>(health_sum);
        world.team_summaries.push_back(summary);
    }
}

}  // namespace vo
