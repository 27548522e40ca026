#pragma once

// The view through which a list of entries (names, images and flag words)
// is read and selected; containers of application code implement it.

#include "engine/visuals/image.h"

#include <cstdint>

namespace vo {

class ListWidget {
public:
    class IContainerView {
    public:
        virtual ~IContainerView() {}
        virtual unsigned size() = 0;
        virtual const char* entry_name(unsigned /*index*/) { return ""; }
        virtual Image entry_image(unsigned /*index*/) { return Image(); }
        virtual std::uint32_t entry_flags(unsigned index) = 0;
        virtual void set_entry_selected(unsigned index, bool selected) = 0;
    };
};

}  // namespace vo
