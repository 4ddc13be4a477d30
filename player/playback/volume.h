// The user's volume: the setting, kept per user under HKCU\Software\Kavuno
// (DWORD values "Volume" and "Mute") and read back at start. Whoever shows or
// applies it is told of every change.
#pragma once
#include <functional>

#include "player/playback/volume_level.h"

namespace kavuno::playback {

class Volume {
public:
    using Listener = std::function<void(const VolumeSetting&)>;

    // The setting of the last run; the listener is not told.
    void Load();
    void OnChange(Listener listener) { listener_ = std::move(listener); }
    const VolumeSetting& setting() const { return setting_; }

    void Step(int steps);  // key steps of 5, up or down
    void SetLevel(int level);
    void ToggleMute();

private:
    void Change(const VolumeSetting& next);
    void Save() const;

    VolumeSetting setting_;
    Listener listener_;
};

}  // namespace kavuno::playback
