#pragma once

// Readers that turn small configuration subtrees into the engine's value
// types. Each reads named children of the node it is given; a child that is
// missing or whose text does not convert counts as missing and its default
// is taken. Only a frame that cannot be completed is an error.

#include "engine/core/color.h"
#include "engine/core/frame.h"
#include "engine/core/music_desc.h"
#include "engine/core/vector.h"

#include <boost/property_tree/ptree_fwd.hpp>

namespace vo {

class Image;

// Children "r", "g", "b", "a"; each missing component from def.
Color ReadColor(const boost::property_tree::ptree& node, const Color& def);

// The child "value" (not the node's own text); def when missing.
float ReadFloat(const boost::property_tree::ptree& node, float def);

// Children "x", "y"; each missing component from def.
vector2 ReadVector2(const boost::property_tree::ptree& node, vector2 def);

// A frame from "left", "top", "right", "bottom", "centerX", "centerY",
// "width" and "height", with "yUp" (default true) telling whether top lies
// above bottom. The horizontal edges are settled before the vertical ones;
// the first pair that cannot be settled throws Error.
Frame ReadFrame(const boost::property_tree::ptree& node);

// An image from "texture" (a file name for GetTexture; required),
// "srcFrame" (a frame in pixels of the texture, turned into 0..1 texture
// coordinates), "invertSrcY" (flips the source frame vertically; default
// false), "destFrame" (default: the source frame's size in pixels from the
// origin, or the unit frame) and "color" (default opaque white). A missing
// "texture" raises boost::property_tree::ptree_bad_path; a texture that
// cannot be loaded and a frame that cannot be read throw Error.
Image ReadImage(const boost::property_tree::ptree& node);

// "file" (empty), "volume" (100), "repeat" (false).
MusicDesc ReadMusicDesc(const boost::property_tree::ptree& node);

// "fadeOffset" (0), "fadeDuration" (0).
MusicTransition ReadMusicTransition(const boost::property_tree::ptree& node);

}  // namespace vo
