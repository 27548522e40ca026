#include "game/menus/how_to_play_screen.h"


namespace vo {

namespace {

// Big or small text, centred or aligned left; the texts keep their leading
// blanks.
const TextPanelScreen::Line kLines[] = {
    {"INSTRUCTIONS", true, true},
    {" ", false, false},
    {"CAMERA", true, false},
    {"  MOVE: Move mouse while pressing the left mouse button.", false, false},
    {"  ZOOM: Mouse-wheel up/down.", false, false},
    {" ", false, false},
    {"MOVEMENT", true, false},
    {"  LEFT: 'A' or LEFT-ARROW key.", false, false},
    {"  RIGHT: 'D' or RIGHT-ARROW key.", false, false},
    {"  JUMP: 'W' or UP-ARROW key.", false, false},
    {"  SLIDE: 'S' or DOWN-ARROW key.", false, false},
    {" ", false, false},
    {"SHOOTING", true, false},
    {"  AIM: Move the mouse cursor to define the direction of the shot.", false, false},
    {"  SHOOT: Press and release the SPACE-BAR.", false, false},
    {"           The longer you'll press, the harder you'll shoot.", false, false},
    {" ", false, false},
    {" ", false, false},
};

}  // namespace

HowToPlayScreen::HowToPlayScreen()
    : TextPanelScreen(kLines, sizeof(kLines) / sizeof(kLines[0])) {}

}  // namespace vo
