// The second pass: the files loaded the way the game loads them, through the
// engine's and the game's own readers (textures are made on the graphics
// card, so this pass needs an X display).

#include "checker.h"

#include "engine/core/config.h"
#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "engine/core/resources.h"
#include "engine/core/tree_readers.h"
#include "engine/visuals/font.h"
#include "engine/visuals/image.h"
#include "engine/widgets/widget_style.h"
#include "engine/widgets/widget_style_config.h"
#include "game/app/characters.h"
#include "game/menus/menu_kit.h"

#include <cstdlib>
#include <functional>
#include <iostream>

namespace check {

namespace {

void Try(Checker& c, std::string const& file, std::string const& key, std::function<void()> const& load) {
    try {
        load();
    } catch (vo::Error const& e) {
        c.add(file, key, e.message());
    } catch (std::exception const& e) {
        c.add(file, key, e.what());
    }
}

}  // namespace

void CheckWithEngineReaders(Checker& c) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::cout << "check_data: no X display: the files were not loaded through the engine's readers" << std::endl;
        return;
    }
    vo::PathProvider::set_path(1, c.folder("config"));
    vo::PathProvider::set_path(3, c.folder("fonts"));
    vo::PathProvider::set_path(4, c.folder("textures"));
    vo::PathProvider::set_path(7, c.folder("shaders"));
    vo::PathProvider::set_path(10, c.folder("music"));
    vo::PathProvider::set_path(11, c.folder("sounds"));
    vo::Textures().path = c.folder("textures");

    Try(c, "characters.info", "-", [&] {
        vo::CharacterHandler handler;
        handler.load((c.folder("config") + "characters.info").c_str());
    });

    Try(c, "menu_config.info", "-", [] { vo::MenuConfig(true); });
    Try(c, "menu_config.info", "referenceFrame", [] { vo::MenuReferenceFrame(); });
    for (const char* group : {"menuButton", "resultsMenu.numberWidgetStyle"})
        Try(c, "menu_config.info", group, [group] { vo::MenuStyleMap(group, vo::DefaultStyleMap()); });

    std::string const styles = c.folder("config") + "widget_styles.info";
    for (const char* group : {"mapBackground", "charactersBackground", "characterButtonStyle"})
        Try(c, "widget_styles.info", group, [&] { vo::WidgetStyleMapFromInfoFile(styles.c_str(), group, vo::DefaultStyleMap()); });
    Try(c, "widget_styles.info", "messageBox", [] {
        vo::SmartPtr<vo::WidgetStyleMap> map =
            vo::WidgetStyleMapFromConfig("messageBox", vo::DefaultWidgetStyleConfig(), vo::DefaultStyleMap());
        vo::WidgetStyle const& geometry = static_cast<vo::WidgetStyleMap const&>(*map).get("geometry");
        geometry.get<vo::Color>("surrounding");
        for (const char* frame : {"main", "textArea", "buttonArea"}) geometry.get<vo::Frame>(frame);
    });

    std::string const ingame = c.folder("config") + "ingame_widget_styles.info";
    for (const char* group : {"timer", "timerButton", "contactButton", "worldRotateButton", "teamName", "lifebar"})
        Try(c, "ingame_widget_styles.info", group, [&] { vo::WidgetStyleMapFromInfoFile(ingame.c_str(), group, vo::DefaultStyleMap()); });
    Try(c, "ingame_widget_styles.info", "worldRotateIconImage",
        [] { vo::ReadImage(vo::GetConfig("ingame_widget_styles.info", "worldRotateIconImage")); });

    Try(c, "weapons.info", "availableWeapons", [] {
        for (auto const& weapon : vo::GetConfig("weapons.info", "availableWeapons"))
            if (weapon.first != "defaultWeapon") vo::ReadImage(weapon.second.get_child("icon"));
    });
    Try(c, "items.info", "items", [] {
        for (auto const& item : vo::GetConfig("items.info", "items")) vo::ReadImage(item.second.get_child("image"));
    });

    Try(c, "menu_config.info", "menuFont", [&] {
        vo::Font font;
        font.set_file((c.folder("fonts") + vo::MenuString("menuFont")).c_str(), vo::Font::FONT_FREETYPE);
        font.set_character_height(35.0f);
    });
    Try(c, "game_config.info", "roundTimerFont", [&] {
        vo::Font font;
        std::string const name = vo::GetConfig("game_config.info").get<std::string>("roundTimerFont");
        font.set_file((c.folder("fonts") + name).c_str(), vo::Font::FONT_BITMAP);
        font.set_character_height(40.0f);
        if (font.glyph('0').width <= 0.0f) throw vo::Error("the digit 0 has no glyph");
    });
    vo::Textures().clear();
}

}  // namespace check
