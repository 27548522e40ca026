#include "shipped_data.h"

#include "engine/core/config.h"
#include "engine/core/path_provider.h"
#include "engine/core/resources.h"
#include "engine/visuals/font.h"
#include "engine/visuals/text.h"
#include "engine/widgets/widget.h"
#include "game/app/characters.h"
#include "game/menus/menu_kit.h"
#include "support/engine/test_window.h"

#include <sys/stat.h>

namespace vo_test {

std::string ShippedDataDir() { return QV_GAME_DATA_DIR; }

void UseShippedData() {
    std::string const data = ShippedDataDir();
    vo::PathProvider::set_path(3, data + "/fonts/");
    vo::PathProvider::set_path(1, data + "/config/");
    vo::PathProvider::set_path(4, data + "/textures/");
    vo::PathProvider::set_path(10, data + "/music/");
    vo::PathProvider::set_path(11, data + "/sounds/");
    vo::Textures().path = vo::PathProvider::get_path(4);
    vo::MenuConfig(true);
    vo::Text::set_default_font(ShippedMenuFont());
    vo::SetCharactersFilePath(vo::PathProvider::get_path(1) + "characters.info");
    vo::LoadCharacters();
}

void ForgetShippedData() {
    vo::Text::set_default_font(vo::SmartPtr<vo::Font>());
    vo::Textures().clear();
}

vo::SmartPtr<vo::Font> ShippedMenuFont() {
    vo::SmartPtr<vo::Font> font(new vo::Font);
    std::string const file = vo::PathProvider::get_path(3) + vo::MenuString("menuFont");
    font->set_file(file.c_str(), vo::Font::FONT_FREETYPE);
    return font;
}

void SaveArtefact(TestWindow& window, std::string const& name) {
    std::string const folder = ShippedDataDir() + "/../tests/artefacts";
    ::mkdir(folder.c_str(), 0755);
    window.save_png(folder + "/" + name + ".png");
}

Point CentreOf(vo::Widget const* widget) {
    vo::Frame const f = widget->global_transformed_frame();
    return Point{f.center_x(), f.center_y()};
}

}  // namespace vo_test
