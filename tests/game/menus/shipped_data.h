#pragma once

// The shipped data folder registered the way start-up registers it, for the
// menu tests that build screens and widgets from it in a real window.

#include "engine/core/smart_ptr.h"

#include <string>

namespace vo {
class Font;
class Widget;
}  // namespace vo

namespace vo_test {

// The build's data folder (no trailing separator).
std::string ShippedDataDir();

// Registers the folders (configuration, fonts, textures, music, sounds),
// points the texture manager at the textures, reloads the menu
// configuration, makes the menu font the default font of all text and loads
// the characters. Needs the engine's window.
void UseShippedData();
// Drops the default font and every loaded texture.
void ForgetShippedData();

// The menu font of the shipped data, loaded anew.
vo::SmartPtr<vo::Font> ShippedMenuFont();

// Writes the window's frame as <build>/tests/artefacts/<name>.png.
class TestWindow;
void SaveArtefact(TestWindow& window, std::string const& name);

// The centre of the widget in window pixels.
struct Point {
    float x;
    float y;
};
Point CentreOf(vo::Widget const* widget);

}  // namespace vo_test
