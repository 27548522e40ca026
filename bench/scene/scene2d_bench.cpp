#include "engine/scene/behavior.h"
#include "engine/scene/entity.h"
#include "engine/scene/game_event.h"
#include "engine/scene/scene2d.h"

#include <benchmark/benchmark.h>

namespace {

// A behavior with a little work per update and per event.
class Ticker : public vo::IBehavior {
public:
    vo::IBehavior* clone() const override { return new Ticker(*this); }
    void update(float dt) override { elapsed += dt; }
    bool accepts_game_events() const override { return true; }
    void handle_game_event(const vo::GameEvent& event) override { received += event.type & 1u; }

    float elapsed = 0.0f;
    unsigned int received = 0;
};

// One step of a scene of 50 entities with 3 behaviors each, 100 events
// waiting in the queue and one event delivered per step.
void BM_Scene2dUpdate(benchmark::State& state) {
    vo::Scene2d scene;
    for (int i = 0; i < 50; ++i) {
        vo::Entity* entity = new vo::Entity();
        entity->add_behavior<Ticker>();
        entity->add_behavior<Ticker>();
        entity->add_behavior<Ticker>();
        scene.add_entity(entity, true);
    }
    for (int i = 0; i < 100; ++i) scene.emit_event(new vo::GameEvent("waiting"), 1e9 + i);
    for (auto _ : state) {
        scene.emit_event(new vo::GameEvent("tick"), 0.0);
        scene.update(1.0f / 60.0f);
    }
}
BENCHMARK(BM_Scene2dUpdate);

}  // namespace
