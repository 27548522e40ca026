#pragma once

// The texture atlases: which region of which texture holds which picture.
// This table is the one place of truth. The generator paints every region
// from it and writes it to textures/atlases.info, and the data checker
// refuses any "srcFrame" on an atlas texture that is not one of its regions,
// so the frames in the configuration files cannot drift from the pictures.

#include <string>
#include <vector>

namespace gen {

struct Region {
    std::string name;
    int left, top, right, bottom;  // pixels, origin top left
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct Atlas {
    std::string texture;  // relative to the textures folder
    int width, height;
    std::vector<Region> regions;

    Region const& region(std::string const& name) const {
        for (Region const& r : regions)
            if (r.name == name) return r;
        return regions.front();
    }
};

inline std::vector<Atlas> const& Atlases() {
    static const std::vector<Atlas> atlases = {
        // Menu buttons ("menuButton" of menu_config.info): one face per state.
        // Wide enough for the longest texts ("Fullscreen: Off") with a margin
        // on both sides.
        {"main_menu/button.png", 320, 196,
         {{"default", 0, 0, 320, 64}, {"pressed", 0, 66, 320, 130}, {"disabled", 0, 132, 320, 196}}},
        // Team cards ("teamRepresentation" of menu_config.info).
        {"main_menu/team_card.png", 452, 524,
         {{"bgUnselected", 0, 0, 360, 260},
          {"bgSelected", 0, 264, 360, 524},
          {"btnHuman", 364, 0, 449, 60},
          {"btnHumanSelected", 364, 64, 449, 124},
          {"btnCpu", 364, 128, 449, 188},
          {"btnCpuSelected", 364, 192, 449, 252}}},
        // Character buttons ("characterButtonStyle" of widget_styles.info).
        {"main_menu/char_slot.png", 388, 128,
         {{"default", 0, 0, 128, 128}, {"pressed", 130, 0, 258, 128}, {"disabled", 260, 0, 388, 128}}},
        // The match's head-up display (ingame_widget_styles.info).
        {"hud/hud.png", 512, 320,
         {{"timerBox", 0, 0, 160, 120},
          {"lifebar", 164, 0, 404, 24},
          {"timerButton.default", 0, 124, 48, 172},
          {"timerButton.pressed", 52, 124, 100, 172},
          {"timerButton.disabled", 104, 124, 152, 172},
          {"contactButton.default", 0, 176, 128, 224},
          {"contactButton.pressed", 132, 176, 260, 224},
          {"contactButton.disabled", 264, 176, 392, 224},
          {"worldRotateButton.default", 0, 228, 80, 308},
          {"worldRotateButton.pressed", 84, 228, 164, 308},
          {"worldRotateButton.disabled", 168, 228, 248, 308},
          {"worldRotateIcon", 252, 228, 316, 292}}},
    };
    return atlases;
}

inline Atlas const& FindAtlas(std::string const& texture) {
    for (Atlas const& a : Atlases())
        if (a.texture == texture) return a;
    return Atlases().front();
}

}  // namespace gen
