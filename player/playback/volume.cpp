#include "player/playback/volume.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "common/ownership.h"

namespace kavuno::playback {
namespace {

constexpr wchar_t kKey[] = L"Software\\Kavuno";
constexpr wchar_t kLevelValue[] = L"Volume";
constexpr wchar_t kMuteValue[] = L"Mute";

// A DWORD value exactly; anything else someone left there is no value.
std::optional<std::uint32_t> ReadDword(HKEY key, const wchar_t* name) {
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

void Volume::Load() {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return;
    const win::OwnedKey key(opened);
    setting_ = RestoredVolume(ReadDword(key.get(), kLevelValue), ReadDword(key.get(), kMuteValue));
}

void Volume::Step(int steps) { Change({SteppedLevel(setting_.level, steps), setting_.muted}); }

void Volume::SetLevel(int level) { Change({std::clamp(level, 0, VolumeSetting::kMax), setting_.muted}); }

void Volume::ToggleMute() { Change({setting_.level, !setting_.muted}); }

void Volume::Change(const VolumeSetting& next) {
    if (next == setting_) return;
    setting_ = next;
    Save();
    if (listener_) listener_(setting_);
}

void Volume::Save() const {
    // A setting that cannot be kept still holds for this run.
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    const win::OwnedKey key(created);
    const DWORD level = static_cast<DWORD>(setting_.level), muted = setting_.muted ? 1 : 0;
    RegSetValueExW(key.get(), kLevelValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&level), sizeof level);
    RegSetValueExW(key.get(), kMuteValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&muted), sizeof muted);
}

}  // namespace kavuno::playback
