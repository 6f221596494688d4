#pragma once
// Which key presses a shortcut recorder accepts. Shortcut rows may take a plain arrow, Return or
// Tab; the activation hot key row needs a modifier. Escape always ends recording.

#include <cstdint>
#include <optional>

#include "platform/HotkeyConfig.h"

namespace vantlo {

struct RecordingOutcome {
    enum class Kind {
        cancelled,  // Escape: recording ends, nothing captured
        rejected,   // not bindable: beep and keep recording
        captured,   // recording ends with `config`
    };
    Kind kind = Kind::rejected;
    std::optional<HotkeyConfig> config;
};

namespace HotkeyRecording {
RecordingOutcome record(std::uint32_t keyCode, std::uint64_t eventFlags,
                        bool allowPlainSpecialKeys);
}  // namespace HotkeyRecording

}  // namespace vantlo
