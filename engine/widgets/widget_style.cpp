#include "engine/widgets/widget_style.h"

#include "engine/core/error.h"

namespace vo {

WidgetStyle::WidgetStyle() = default;
WidgetStyle::WidgetStyle(WidgetStyle const& other) = default;
WidgetStyle& WidgetStyle::operator=(WidgetStyle const& other) = default;
WidgetStyle::~WidgetStyle() = default;

void WidgetStyle::throw_entry_not_found(std::string const& name) {
    throw Error("WidgetStyle entry not found: " + name);
}

WidgetStyleMap::WidgetStyleMap() = default;
WidgetStyleMap::WidgetStyleMap(WidgetStyleMap const& other) = default;
WidgetStyleMap& WidgetStyleMap::operator=(WidgetStyleMap const& other) = default;
WidgetStyleMap::~WidgetStyleMap() = default;

WidgetStyle& WidgetStyleMap::get(std::string const& name) { return styles_[name]; }

WidgetStyle& WidgetStyleMap::get(const char* name) { return get(std::string(name)); }

WidgetStyle const& WidgetStyleMap::get(std::string const& name) const {
    static WidgetStyle const emptyStyle;
    auto found = styles_.find(name);
    return found == styles_.end() ? emptyStyle : found->second;
}

WidgetStyle const& WidgetStyleMap::get(const char* name) const { return get(std::string(name)); }

WidgetStyle* WidgetStyleMap::get_if_available(std::string const& name) {
    auto found = styles_.find(name);
    return found == styles_.end() ? nullptr : &found->second;
}

WidgetStyle* WidgetStyleMap::get_if_available(const char* name) { return get_if_available(std::string(name)); }

WidgetStyle const* WidgetStyleMap::get_if_available(std::string const& name) const {
    auto found = styles_.find(name);
    return found == styles_.end() ? nullptr : &found->second;
}

WidgetStyle const* WidgetStyleMap::get_if_available(const char* name) const {
    return get_if_available(std::string(name));
}

void WidgetStyleMap::set(std::string const& name, WidgetStyle const& style) { styles_[name] = style; }

void WidgetStyleMap::set(const char* name, WidgetStyle const& style) { set(std::string(name), style); }

SmartPtr<WidgetStyleMap> WidgetStyleMap::clone() const { return SmartPtr<WidgetStyleMap>(new WidgetStyleMap(*this)); }

SmartPtr<WidgetStyleMap> DefaultStyleMap() {
    static SmartPtr<WidgetStyleMap> const instance(new WidgetStyleMap());
    return instance;
}

}  // namespace vo
