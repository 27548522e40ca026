#include "engine/sfml/audio_device.h"

#include <alc.h>

#include <iostream>

namespace vo {

namespace {

bool OpenAndCloseDefaultDevice() {
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device) return false;
    alcCloseDevice(device);
    return true;
}

}  // namespace

bool AudioDeviceOpens() {
    // Without a device every call of the audio library fails and reports,
    // and a playing music's streaming thread does so in a tight loop: ask
    // once, and say once that the game goes on without sound.
    static const bool opens = [] {
        if (OpenAndCloseDefaultDevice()) return true;
        std::cout << std::flush;
        std::cerr << "WARNING: no audio device: sound is off" << std::endl;
        return false;
    }();
    return opens;
}

}  // namespace vo
