// The labels above the slobs (name and whole health, in the team's colour;
// the acting slob's larger and framed by plus signs) and the slobs' screams
// when they are hurt: the steps of the health pass that belong to them.

#include "game/match/match.h"

#include "engine/physics/soft_body.h"
#include "engine/scene/entity.h"
#include "engine/sfml/engine.h"
#include "game/ai/ai_random.h"
#include "game/app/int_to_string.h"
#include "game/match/match_config.h"
#include "game/match/match_entities.h"
#include "game/match/scream_lengths.h"

#include <string>

namespace vo {

namespace {

// The acting slob's label is this much higher than the others.
constexpr float kActingLabelScale = 1.25f;

}  // namespace

void SlobRecord::play_voice(SmartPtr<SoundBuffer> sound, double now, float volume, float pitch, double length) {
    if (now < voice_end_time || now < next_scream_time) return;
    const double lo = game_config ? game_config->minTimeBetweenScreams : 0.0;
    const double hi = game_config ? game_config->maxTimeBetweenScreams : 0.0;
    next_scream_time = now + RandomDouble(lo, hi);
    voice_end_time = now + (pitch > 0.0f ? length / pitch : length);
    if (!voice) return;
    voice->set_buffer(sound);
    voice->set_volume(volume);
    voice->set_pitch(pitch);
    voice->play();
}

void Match::scream(SlobRecord& record) {
    TeamState const& team = teams_[static_cast<std::size_t>(record.team)];
    if (team.screams.empty()) return;
    const std::size_t index = static_cast<std::size_t>(RandomIndex(static_cast<int>(team.screams.size())));
    CharacterDesc const& character = team.desc->character;
    std::vector<double> const& lengths = ScreamLengths(character);
    record.play_voice(team.screams[index], clock_, character.volume, character.pitch,
                      index < lengths.size() ? lengths[index] : 0.0);
}

bool Match::is_acting(SlobRecord const& record) {
    TeamState* team = current_team_state();
    if (!team || record.team != current_team_ || team->acting_member < 0 ||
        team->acting_member >= static_cast<int>(team->members.size()))
        return false;
    return record.member == team->acting_member;
}

void Match::update_slob_label(SlobRecord& record, int health) {
    TeamState const& team = teams_[static_cast<std::size_t>(record.team)];
    const bool acting = is_acting(record);
    const float height = static_cast<float>(name_text_height_) * (acting ? kActingLabelScale : 1.0f);
    std::string text = team.desc->members[static_cast<std::size_t>(record.member)] + ": " + IntToString(health);
    if (acting) text = "+ " + text + " +";
    record.label.set(record.label.font(), text.c_str(), height, team.color, -1.0f);
}

void Match::place_slob_label(SlobRecord& record) {
    SoftBody* body = BodyOf(record.entity);
    if (!body) return;
    const Sphere sphere = body->calculate_bounding_sphere();
    const vector3& c = sphere.center();
    const float r = sphere.radius();
    Engine& engine = Engine::instance();
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    engine.project(&x, &y, &z, c.x + world_up_.x * r, c.y + world_up_.y * r, c.z + world_up_.z * r);
    const Frame content = record.label.content_frame();
    record.label.set_position(vector3(x - content.width() / 2.0f,
                                      static_cast<float>(engine.screen_height()) - y - record.label.text_height(),
                                      0.0f));
}

void Match::draw_slob_labels() {
    for (SlobRecord const& record : slobs_)
        if (record.has_entity) record.label.draw();
}

}  // namespace vo
