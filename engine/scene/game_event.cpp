#include "engine/scene/game_event.h"

#include "engine/core/crc32.h"
#include "engine/core/error.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace vo {

GameEvent::GameEvent(const char* name) : type(crc32(name)), name(name) {}

GameEvent::~GameEvent() = default;

void GameEvent::throw_cast_error(const char* target_name, const std::type_info& target) const {
    std::string target_text;
    if (target_name) {
        target_text = target_name;
    } else {
        int status = 0;
        std::unique_ptr<char, void (*)(void*)> demangled(
            abi::__cxa_demangle(target.name(), nullptr, nullptr, &status), std::free);
        target_text = (status == 0 && demangled) ? demangled.get() : target.name();
    }
    std::string msg = "Can't perform queried cast on GameEvent:\nSource event: ";
    msg += name ? name : "";
    msg += "\nTarget event: ";
    msg += target_text;
    throw Error(msg);
}

}  // namespace vo
