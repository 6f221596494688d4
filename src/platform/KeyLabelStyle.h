#pragma once
// How keys are written for the user on one platform: as the Mac's glyphs ("⌥⇥", "⌃⌥⌘W") or as
// words joined by "+", the way Linux desktops write them ("Alt+Tab", "Ctrl+Alt+Super+W").

namespace vantlo {

enum class KeyLabelStyle { glyphs, words };

}  // namespace vantlo
