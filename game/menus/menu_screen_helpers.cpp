#include "game/menus/menu_screen_helpers.h"

#include "engine/core/color.h"
#include "engine/sfml/engine.h"
#include "engine/widgets/widget.h"
#include "game/app/screen.h"

#include <cctype>

namespace vo {

const char* const kProductUrl = "https://www.quorvane.example.org";
const char* const kContactEmail = "makers@quorvane.example.org";

namespace {

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

void DrawMenuOnBlack(Widget* root) {
    Engine& engine = Engine::instance();
    engine.set_clear_color(Color(0.0f, 0.0f, 0.0f, 1.0f));
    engine.clear();
    SetupOrthoView();
    if (root) root->draw();
}

std::string ProductAddressForDisplay() {
    std::string address = kProductUrl;
    const std::string::size_type scheme = address.find("://");
    if (scheme != std::string::npos) address.erase(0, scheme + 3);
    return Upper(address);
}

std::string ContactEmailForDisplay() { return Upper(kContactEmail); }

}  // namespace vo
