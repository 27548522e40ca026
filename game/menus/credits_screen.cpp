#include "game/menus/credits_screen.h"

#include "game/menus/menu_screen_helpers.h"

#include <string>
#include <vector>

namespace vo {

namespace {

// The texts of the lines that name the web page and the makers' address.
std::string const& VisitLine() {
    static const std::string line = "Visit " + ProductAddressForDisplay() + " for updates";
    return line;
}

std::string const& FeedbackLine() {
    static const std::string line = "Please send feedback to " + ContactEmailForDisplay();
    return line;
}

// Big or small text, centred or aligned left; the texts keep their blanks.
std::vector<TextPanelScreen::Line> const& Lines() {
    static const std::vector<TextPanelScreen::Line> lines = {
        {" ", false, false},
        {"BRANNIKOS presents:", false, true},
        {"QUORVANE (alpha)", true, true},
        {" ", false, false},
        {VisitLine().c_str(), false, true},
        {FeedbackLine().c_str(), false, true},
        {"  ", false, false},
        {"  ", false, false},
        {"Programming and Game Design", false, false},
        {"Talvik Kellbrand", true, true},
        {"  ", false, false},
        {"Graphics and Character Design", false, false},
        {"Orsemund Kellbrand", true, true},
        {"  ", false, false},
        {"  ", false, false},
        {"External Libraries", false, false},
        {"boost, enet, glew, OpenAL, OpenGL, SFML", false, true},
        {" ", false, false},
        {" ", false, false},
    };
    return lines;
}

}  // namespace

CreditsScreen::CreditsScreen()
    : TextPanelScreen(Lines().data(), static_cast<unsigned>(Lines().size())) {}

}  // namespace vo
