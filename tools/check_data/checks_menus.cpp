// menu_config.info, widget_styles.info and ingame_widget_styles.info: the
// keys the menus and the HUD read, their style groups, and whether the menu
// layouts fit the reference frame.

#include "checker.h"

#include "engine/core/error.h"
#include "engine/core/tree_readers.h"

#include <set>

namespace check {

namespace {

// The colour names a widget knows; any other name throws when its style is
// activated.
const std::set<std::string> kColourNames = {"background", "overlay", "borderLight", "borderDark", "textColor"};

// A frame at key, or nothing (reported) when it is missing or incomplete.
boost::optional<vo::Frame> FrameAt(Checker& c, ptree const& tree, std::string const& file, std::string const& key) {
    auto const node = tree.get_child_optional(key);
    if (!node) {
        c.add(file, key, "missing");
        return boost::none;
    }
    try {
        return vo::ReadFrame(*node);
    } catch (vo::Error const& e) {
        c.add(file, key, e.message());
        return boost::none;
    }
}

boost::optional<float> FloatAt(Checker& c, ptree const& tree, std::string const& file, std::string const& key) {
    auto const node = tree.get_child_optional(key);
    if (!node) {
        c.add(file, key, "missing");
        return boost::none;
    }
    auto const v = node->get_value_optional<float>();
    if (!v) c.add(file, key, "'" + node->data() + "' is not a number");
    return v;
}

void ColourAt(Checker& c, ptree const& tree, std::string const& file, std::string const& key) {
    auto const node = tree.get_child_optional(key);
    if (!node) {
        c.add(file, key, "missing");
        return;
    }
    for (auto const& part : *node)
        if (!part.second.get_value_optional<float>()) c.add(file, key + "." + part.first, "is not a number");
}

bool Inside(vo::Frame const& inner, vo::Frame const& outer) {
    return inner.left() >= outer.left() && inner.right() <= outer.right() && inner.top() >= outer.top() &&
           inner.bottom() <= outer.bottom();
}

// The frame of the first image of style.default, as the widgets read it.
boost::optional<vo::Frame> ButtonFrame(Checker& c, ptree const& tree, std::string const& file, std::string const& group) {
    return FrameAt(c, tree, file, group + ".default.image.srcFrame");
}

void RequireStyles(Checker& c, ptree const& tree, std::string const& file, std::string const& group,
                   std::initializer_list<const char*> styles) {
    auto const node = tree.get_child_optional(group);
    if (!node) {
        c.add(file, group, "missing");
        return;
    }
    for (const char* style : styles)
        if (!node->get_child_optional(style)) c.add(file, group + "." + style, "missing");
}

}  // namespace

void CheckStyleGroups(Checker& c, ptree const& groups, std::string const& file, std::string const& prefix) {
    for (auto const& group : groups) {
        for (auto const& style : group.second) {
            std::string const key = prefix + group.first + "." + style.first;
            for (auto const& entry : style.second) {
                std::string const where = key + "." + entry.first;
                auto const name = entry.second.get_optional<std::string>("name");
                if (!name) {
                    c.add(file, where, "has no name");
                    continue;
                }
                if (entry.first == "color") {
                    if (!kColourNames.count(*name)) c.add(file, where, "unknown colour name '" + *name + "'");
                } else if (entry.first == "image") {
                    c.image(entry.second, file, where);
                } else if (entry.first == "frame") {
                    try {
                        vo::ReadFrame(entry.second);
                    } catch (vo::Error const& e) {
                        c.add(file, where, e.message());
                    }
                } else if (entry.first != "float" && entry.first != "vector2") {
                    c.add(file, where, "unknown kind of style entry");
                }
            }
        }
    }
}

void CheckMenuConfig(Checker& c) {
    std::string const file = "menu_config.info";
    ptree const* tree = c.config(file);
    if (!tree) return;
    auto const ref = FrameAt(c, *tree, file, "referenceFrame");
    if (ref && !(ref->width() > 0 && ref->height() > 0)) c.add(file, "referenceFrame", "needs a positive width and height");
    std::string const font = tree->get<std::string>("menuFont", "");
    if (font.empty())
        c.add(file, "menuFont", "missing");
    else if (!c.font(font))
        c.add(file, "menuFont", "no font file '" + font + "'");

    RequireStyles(c, *tree, file, "menuButton", {"default", "pressed", "disabled"});
    if (auto const b = tree->get_child_optional("menuButton")) {
        ptree groups;
        groups.add_child("menuButton", *b);
        CheckStyleGroups(c, groups, file, "");
    }
    auto const button = ButtonFrame(c, *tree, file, "menuButton");

    // The main menu's areas lie in the reference frame; the menu column holds
    // the CPU button and five buttons with their spacing.
    std::map<std::string, vo::Frame> areas;
    for (const char* area : {"areaTeams", "areaMap", "areaMenu", "areaCharacters"}) {
        std::string const key = std::string("mainMenu.") + area;
        if (auto const f = FrameAt(c, *tree, file, key)) {
            areas[area] = *f;
            if (ref && !Inside(*f, vo::Frame(0, 0, ref->width(), ref->height())))
                c.add(file, key, "reaches outside the reference frame");
        }
    }
    if (button && areas.count("areaMenu")) {
        vo::Frame const& m = areas["areaMenu"];
        if (button->width() > m.width() || 6 * button->height() + 5 * 15 > m.height())
            c.add(file, "mainMenu.areaMenu", "cannot hold the CPU button and five menu buttons with their spacing");
    }

    // Credits and How To Play: every line and the Ok button fit the height.
    for (const char* colour : {"screenBackground", "textBackground", "smallTextColor", "bigTextColor"})
        ColourAt(c, *tree, file, std::string("credits.") + colour);
    auto const vspacer = FloatAt(c, *tree, file, "credits.vspacer");
    FloatAt(c, *tree, file, "credits.hspacer");
    auto const small = FloatAt(c, *tree, file, "credits.smallTextHeight");
    auto const big = FloatAt(c, *tree, file, "credits.bigTextHeight");
    if (ref && button && vspacer && small && big) {
        // A text line takes about 1.25 times its text height; How To Play has
        // 4 big and 14 small lines, the credits 3 big and 16 small.
        float const how_to_play = 1.25f * (4 * *big + 14 * *small) + button->height() + 19 * *vspacer;
        float const credits = 1.25f * (3 * *big + 16 * *small) + button->height() + 20 * *vspacer;
        if (std::max(how_to_play, credits) > ref->height())
            c.add(file, "credits", "the instructions or the credits do not fit the reference frame's height");
    }

    // The results screen.
    for (const char* area : {"areaButtons", "areaRoundStats", "areaMatchStats"}) {
        std::string const key = std::string("resultsMenu.") + area;
        if (auto const f = FrameAt(c, *tree, file, key); f && ref && !Inside(*f, vo::Frame(0, 0, ref->width(), ref->height())))
            c.add(file, key, "reaches outside the reference frame");
    }
    FloatAt(c, *tree, file, "resultsMenu.statsTextHeight");
    RequireStyles(c, *tree, file, "resultsMenu.numberWidgetStyle", {"max", "min"});
    if (auto const styles = tree->get_child_optional("resultsMenu.numberWidgetStyle")) {
        ptree groups;
        groups.add_child("numberWidgetStyle", *styles);
        CheckStyleGroups(c, groups, file, "resultsMenu.");
    }
    for (const char* kind : {"round", "match"}) {
        for (const char* stat : {"wins", "mostKills", "killsWithOneShot", "mostDmg", "dmgWithOneShot", "mostSelfKills",
                                 "mostSelfDmg"}) {
            std::string const key = std::string("resultsMenu.statTexts.") + kind + "." + stat;
            if (!tree->get_optional<std::string>(key)) c.add(file, key, "missing");
        }
    }

    // The team cards: their atlas frames, their areas inside the card, and
    // four cards with 20 units between them inside the team area.
    auto const scale = FloatAt(c, *tree, file, "teamRepresentation.scale");
    std::string const card_texture = tree->get<std::string>("teamRepresentation.texture", "");
    if (card_texture.empty())
        c.add(file, "teamRepresentation.texture", "missing");
    else if (!c.texture(card_texture).ok)
        c.add(file, "teamRepresentation.texture", "no texture file '" + card_texture + "'");
    for (const char* src : {"srcBGUnselected", "srcBGSelected", "srcBtnHuman", "srcBtnHumanSelected", "srcBtnCpu",
                            "srcBtnCpuSelected"}) {
        std::string const key = std::string("teamRepresentation.") + src;
        if (auto const node = tree->get_child_optional(key))
            c.texture_frame(*node, card_texture, file, key);
        else
            c.add(file, key, "missing");
    }
    auto const card = tree->get_child_optional("teamRepresentation.srcBGSelected");
    boost::optional<vo::Frame> card_frame;
    if (card) {
        try {
            vo::Frame const f = vo::ReadFrame(*card);
            card_frame = vo::Frame(0, 0, f.width(), f.height());
        } catch (vo::Error const&) {
        }
    }
    for (const char* area : {"areaHuman", "areaCpu", "areaText", "areaHumanText", "areaCpuText", "areaCharacter"}) {
        std::string const key = std::string("teamRepresentation.") + area;
        if (auto const f = FrameAt(c, *tree, file, key); f && card_frame && !Inside(*f, *card_frame))
            c.add(file, key, "reaches outside the card");
    }
    if (card_frame && scale && areas.count("areaTeams")) {
        vo::Frame const& t = areas["areaTeams"];
        if (4 * card_frame->width() * *scale + 3 * 20 > t.width() || card_frame->height() * *scale > t.height())
            c.add(file, "mainMenu.areaTeams", "cannot hold four team cards 20 units apart");
    }
}

void CheckWidgetStyles(Checker& c) {
    std::string const file = "widget_styles.info";
    ptree const* tree = c.config(file);
    if (!tree) return;
    for (const char* group : {"messageBox", "mapBackground", "charactersBackground", "characterButtonStyle"})
        if (!tree->get_child_optional(group)) c.add(file, group, "missing");
    if (auto const geometry = tree->get_child_optional("messageBox.geometry")) {
        std::set<std::string> colours, frames;
        for (auto const& entry : *geometry) {
            std::string const name = entry.second.get<std::string>("name", "");
            (entry.first == "color" ? colours : frames).insert(name);
        }
        if (!colours.count("surrounding")) c.add(file, "messageBox.geometry", "no colour 'surrounding'");
        for (const char* frame : {"main", "textArea", "buttonArea"})
            if (!frames.count(frame)) c.add(file, "messageBox.geometry", std::string("no frame '") + frame + "'");
    } else {
        c.add(file, "messageBox.geometry", "missing");
    }
    RequireStyles(c, *tree, file, "characterButtonStyle", {"default", "pressed", "disabled"});
    // The message box's own entries are geometry, not widget properties.
    ptree groups = *tree;
    groups.erase("messageBox");
    CheckStyleGroups(c, groups, file, "");
}

void CheckIngameStyles(Checker& c) {
    std::string const file = "ingame_widget_styles.info";
    ptree const* tree = c.config(file);
    if (!tree) return;
    for (const char* group : {"timer", "teamName", "lifebar"})
        if (!tree->get_child_optional(group)) c.add(file, group, "missing");
    for (const char* group : {"timerButton", "contactButton", "worldRotateButton"}) {
        RequireStyles(c, *tree, file, group, {"default", "pressed", "disabled"});
        ButtonFrame(c, *tree, file, group);
    }
    if (auto const icon = tree->get_child_optional("worldRotateIconImage")) {
        c.image(*icon, file, "worldRotateIconImage");
        FrameAt(c, *tree, file, "worldRotateIconImage.srcFrame");
    } else {
        c.add(file, "worldRotateIconImage", "missing");
    }
    if (auto const v = tree->get_child_optional("general.weaponButtonTextOverlay"); v && !v->get_value_optional<bool>())
        c.add(file, "general.weaponButtonTextOverlay", "is not true or false");
    if (auto const v = tree->get_child_optional("general.weaponButtonTextScale"); v && !v->get_value_optional<float>())
        c.add(file, "general.weaponButtonTextScale", "is not a number");
    ptree groups;
    for (auto const& group : *tree) {
        if (group.first != "worldRotateIconImage" && group.first != "general") groups.add_child(group.first, group.second);
    }
    CheckStyleGroups(c, groups, file, "");
}

}  // namespace check
