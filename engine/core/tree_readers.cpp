#include "engine/core/tree_readers.h"

#include "engine/core/error.h"
#include "engine/core/resources.h"
#include "engine/visuals/image.h"

#include <boost/optional.hpp>
#include <boost/property_tree/ptree.hpp>

#include <cmath>

namespace vo {

using boost::property_tree::ptree;

Color ReadColor(const ptree& node, const Color& def) {
    return Color(node.get<float>("r", def.r), node.get<float>("g", def.g), node.get<float>("b", def.b),
                 node.get<float>("a", def.a));
}

float ReadFloat(const ptree& node, float def) { return node.get<float>("value", def); }

vector2 ReadVector2(const ptree& node, vector2 def) {
    return vector2(node.get<float>("x", def.x), node.get<float>("y", def.y));
}

Frame ReadFrame(const ptree& node) {
    const float s = node.get<bool>("yUp", true) ? 1.0f : -1.0f;

    const boost::optional<float> left = node.get_optional<float>("left");
    const boost::optional<float> top = node.get_optional<float>("top");
    const boost::optional<float> right = node.get_optional<float>("right");
    const boost::optional<float> bottom = node.get_optional<float>("bottom");
    const boost::optional<float> center_x = node.get_optional<float>("centerX");
    const boost::optional<float> center_y = node.get_optional<float>("centerY");
    const boost::optional<float> width = node.get_optional<float>("width");
    const boost::optional<float> height = node.get_optional<float>("height");

    float l = 0.0f;
    float r = 0.0f;
    if (left) {
        l = *left;
        if (right) {
            r = *right;
        } else if (width) {
            r = l + *width;
        } else {
            throw Error("Can't read frame. Neither 'right' nor 'width' specified");
        }
    } else {
        if (!width) throw Error("Can't read frame. Neither 'left' nor 'width' specified");
        if (right) {
            r = *right;
            l = r - *width;
        } else if (center_x) {
            l = *center_x - *width * 0.5f;
            r = *center_x + *width * 0.5f;
        } else {
            throw Error("Can't read frame. Neither 'left', nor 'centerX' nor 'right' specified");
        }
    }

    float t = 0.0f;
    float b = 0.0f;
    if (top) {
        t = *top;
        if (bottom) {
            b = *bottom;
        } else if (height) {
            b = t - s * *height;
        } else {
            throw Error("Can't read frame. Neither 'bottom' nor 'height' specified");
        }
    } else {
        if (!height) throw Error("Can't read frame. Neither 'top' nor 'height' specified");
        if (bottom) {
            b = *bottom;
            t = b + s * *height;
        } else if (center_y) {
            t = *center_y + s * *height * 0.5f;
            b = *center_y - s * *height * 0.5f;
        } else {
            throw Error("Can't read frame. Neither 'top', nor 'centerY' nor 'bottom' specified");
        }
    }

    return Frame(l, t, r, b);
}

Image ReadImage(const ptree& node) {
    const std::string name = node.get<std::string>("texture");
    SmartPtr<Texture> texture = GetTexture(name);
    const Frame t = texture->frame();

    Frame source(0.0f, 0.0f, 1.0f, 1.0f);
    float pixel_width = 1.0f;
    float pixel_height = 1.0f;
    Color color(1.0f, 1.0f, 1.0f, 1.0f);

    if (const boost::optional<const ptree&> src = node.get_child_optional("srcFrame")) {
        const Frame f = ReadFrame(*src);
        pixel_width = std::fabs(f.right() - f.left());
        pixel_height = std::fabs(f.bottom() - f.top());
        const float texture_width = std::fabs(t.right() - t.left());
        const float texture_height = std::fabs(t.bottom() - t.top());
        if (texture_width > 0.0f && texture_height > 0.0f) {
            source = Frame(f.left() / texture_width, f.top() / texture_height, f.right() / texture_width,
                           f.bottom() / texture_height);
        } else {
            source = f;
        }
        if (node.get<bool>("invertSrcY", false)) {
            source.set_top(1.0f - source.top());
            source.set_bottom(1.0f - source.bottom());
        }
    }

    Frame destination(0.0f, 0.0f, pixel_width, pixel_height);
    if (const boost::optional<const ptree&> dest = node.get_child_optional("destFrame")) destination = ReadFrame(*dest);

    if (const boost::optional<const ptree&> c = node.get_child_optional("color")) {
        color = ReadColor(*c, Color(1.0f, 1.0f, 1.0f, 1.0f));
    }

    return Image(texture, destination, source, color);
}

MusicDesc ReadMusicDesc(const ptree& node) {
    MusicDesc desc;
    desc.file = node.get<std::string>("file", std::string());
    desc.volume = node.get<double>("volume", 100.0);
    desc.repeat = node.get<bool>("repeat", false);
    return desc;
}

MusicTransition ReadMusicTransition(const ptree& node) {
    MusicTransition transition;
    transition.fade_offset = node.get<double>("fadeOffset", 0.0);
    transition.fade_duration = node.get<double>("fadeDuration", 0.0);
    return transition;
}

}  // namespace vo
