#pragma once

namespace vo {

// Whether the default audio device opens. Decided by the first call, which
// opens the device once and closes it again; when it does not open, that
// call writes "WARNING: no audio device: sound is off" to standard error.
// The back end then makes silent sounds and music that never reach the
// audio library (engine/sfml/silent_audio.h).
bool AudioDeviceOpens();

}  // namespace vo
