#pragma once

// Named widget appearances. A WidgetStyle is a bag of named properties of
// five kinds; a WidgetStyleMap holds styles by name ("default", "disabled",
// "pressed", ...). Widgets share maps through counted handles and never
// change the maps they hold.

#include "engine/core/color.h"
#include "engine/core/frame.h"
#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/visuals/image.h"

#include <map>
#include <string>

namespace vo {

class WidgetStyle {
public:
    using FloatMap = std::map<std::string, float>;
    using VectorMap = std::map<std::string, vector2>;
    using ColorMap = std::map<std::string, Color>;
    using FrameMap = std::map<std::string, Frame>;
    using ImageMap = std::map<std::string, Image>;

    WidgetStyle();
    WidgetStyle(WidgetStyle const& other);
    WidgetStyle& operator=(WidgetStyle const& other);
    ~WidgetStyle();

    // The entry `name` of kind T (float, vector2, Color, Frame or Image).
    // A missing entry throws Error "WidgetStyle entry not found: " + name.
    template <class T>
    T const& get(std::string const& name) const {
        auto const& entries = storage(static_cast<T const*>(nullptr));
        auto found = entries.find(name);
        if (found == entries.end()) throw_entry_not_found(name);
        return found->second;
    }

    // The entries of each kind, ordered by name; entries are added or
    // replaced through these maps.
    FloatMap& floats() { return floats_; }
    VectorMap& vectors() { return vectors_; }
    ColorMap& colors() { return colors_; }
    FrameMap& frames() { return frames_; }
    ImageMap& images() { return images_; }
    FloatMap const& floats() const { return floats_; }
    VectorMap const& vectors() const { return vectors_; }
    ColorMap const& colors() const { return colors_; }
    FrameMap const& frames() const { return frames_; }
    ImageMap const& images() const { return images_; }

protected:
    // The map of the kind named by the pointer's type; the pointer is a tag.
    FloatMap const& storage(float const*) const { return floats_; }
    VectorMap const& storage(vector2 const*) const { return vectors_; }
    ColorMap const& storage(Color const*) const { return colors_; }
    FrameMap const& storage(Frame const*) const { return frames_; }
    ImageMap const& storage(Image const*) const { return images_; }

private:
    [[noreturn]] static void throw_entry_not_found(std::string const& name);

    FloatMap floats_;
    VectorMap vectors_;
    ColorMap colors_;
    FrameMap frames_;
    ImageMap images_;
};

class WidgetStyleMap {
public:
    WidgetStyleMap();
    WidgetStyleMap(WidgetStyleMap const& other);
    WidgetStyleMap& operator=(WidgetStyleMap const& other);
    ~WidgetStyleMap();

    // The style of that name, created empty when absent.
    WidgetStyle& get(std::string const& name);
    WidgetStyle& get(const char* name);
    // The style of that name; a shared, always empty style when absent.
    WidgetStyle const& get(std::string const& name) const;
    WidgetStyle const& get(const char* name) const;

    // The style of that name, or null when absent.
    WidgetStyle* get_if_available(std::string const& name);
    WidgetStyle* get_if_available(const char* name);
    WidgetStyle const* get_if_available(std::string const& name) const;
    WidgetStyle const* get_if_available(const char* name) const;

    // Stores a copy under the name, replacing a style of that name.
    void set(std::string const& name, WidgetStyle const& style);
    void set(const char* name, WidgetStyle const& style);

    // A new map holding a copy of this one.
    SmartPtr<WidgetStyleMap> clone() const;

    std::map<std::string, WidgetStyle> const& styles() const { return styles_; }

private:
    std::map<std::string, WidgetStyle> styles_;
};

// A new handle to the process-wide default map. It is empty until the first
// Widget installs "default" and "disabled" (and the first ButtonWidget
// "pressed"); changes through any handle are seen by every widget that later
// activates a style from it.
SmartPtr<WidgetStyleMap> DefaultStyleMap();

}  // namespace vo
