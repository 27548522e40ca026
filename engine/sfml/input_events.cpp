#include "engine/sfml/input_events.h"

namespace vo {

namespace {

struct CharacterTables {
    char plain[KEY_COUNT] = {};
    char shifted[KEY_COUNT] = {};

    CharacterTables() {
        for (int k = KEY_A; k <= KEY_Z; ++k) {
            plain[k] = static_cast<char>('a' + (k - KEY_A));
            shifted[k] = static_cast<char>('A' + (k - KEY_A));
        }
        for (int k = KEY_0; k <= KEY_9; ++k) plain[k] = static_cast<char>('0' + (k - KEY_0));
        plain[KEY_SPACE] = ' ';
    }
};

}  // namespace

char KeyCodeToChar(KeyCode key, bool shifted) {
    static const CharacterTables tables;
    const int index = static_cast<int>(key);
    if (index < 0 || index >= KEY_COUNT) return 0;
    return shifted ? tables.shifted[index] : tables.plain[index];
}

IEventHandler::~IEventHandler() = default;

bool IEventHandler::process_mouse_event(MouseEvent const&) { return false; }
bool IEventHandler::process_key_event(KeyEvent const&) { return false; }
void IEventHandler::new_resolution(int, int) {}

}  // namespace vo
