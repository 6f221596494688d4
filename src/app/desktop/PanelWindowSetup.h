#pragma once
// What every panel window of this program needs before the first one is shown: the X11 window
// states that keep it above, on every workspace and out of the taskbar and pager, and an icon
// theme with application icons when the session names none.

namespace vantlo {

void preparePanelWindows();

}  // namespace vantlo
