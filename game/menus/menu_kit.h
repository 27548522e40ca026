#pragma once

// The menu kit: every menu is laid out in one design space, the reference
// frame of "menu_config.info", and scaled into the window keeping its aspect
// ratio (centred, with bars where the window's shape differs). The kit reads
// that file and builds the standard menu button and the modal message box.

#include "engine/core/color.h"
#include "engine/core/config.h"
#include "engine/core/frame.h"
#include "engine/core/frame_transform.h"
#include "engine/core/smart_ptr.h"

#include <string>

namespace vo {

class ButtonWidget;
class Widget;
class WidgetStyleMap;

// The menu configuration, read from the configuration folder on first use
// (or again when reload is true) and kept for the rest of the run. A file
// that cannot be read raises the INFO parser's error (one beyond the INFO
// file limits their Error) and leaves the tree that was loaded before.
ptree const& MenuConfig(bool reload = false);

// Typed lookups of '.'-separated keys. They have no defaults: a missing key
// raises the property tree's "No such node" error, an unconvertible value its
// conversion error.
Color MenuColor(std::string const& key);  // components missing in the subtree are 1
Frame MenuFrame(std::string const& key);
float MenuFloat(std::string const& key);
float MenuFloat(std::string const& group, std::string const& key);
std::string MenuString(std::string const& key);

// The style map base extended by the style groups under key.
SmartPtr<WidgetStyleMap> MenuStyleMap(const char* key, ConstSmartPtr<WidgetStyleMap> base);

// The default styles extended by the style groups under group in the
// engine's widget styles ("widget_styles.info"): the looks of the menus'
// panels and game buttons.
SmartPtr<WidgetStyleMap> MenuWidgetStyles(const char* group);

// MenuFrame("referenceFrame"). A frame without area throws Error, since no
// menu could be mapped into the window from it.
Frame MenuReferenceFrame();

// Maps reference-frame coordinates (origin at the frame's upper-left corner,
// only its size counts) to window pixels: one scale for both axes, the
// design centred in the window.
FrameTransform MenuTransform();

// A new menu button owned by parent's widget tree, with the "menuButton"
// styles and frame; state adds to its state bits. The caller connects its
// click signal.
ButtonWidget* CreateMenuButton(Widget* parent, const char* text, int state);

// A modal message box over the whole design space with the text and one
// button, styled by the "geometry" style of the group style in the engine's
// widget styles. Pressing the button removes the box. Returns its root.
Widget* ShowMessageBox(Widget* parent, const char* text, const char* button_text, const char* style);

}  // namespace vo
