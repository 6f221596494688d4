#pragma once
// The test showing of the switcher panel: with "VANTLO_TEST_PANEL=1" the program shows the panel
// on made-up items 0.3 s after start, with the selection "VANTLO_TEST_SELECTION" asks for, and
// prints what the user chose ("Vantlo test panel selected: <title>" or "Vantlo test panel close:
// <title>") instead of acting on it. No single-instance rule, guide or hot key is involved.
//
// Further variables shape the showing for end-to-end tests and screenshots:
// "VANTLO_TEST_WINDOW_GROUP" (a number) replaces the file manager's windows by that many, and
// "VANTLO_TEST_SCREENSHOT" (a path) makes SIGUSR1 save a PNG of the panel there, and
// "VANTLO_TEST_GUIDE" (a guide stage such as "movement") shows that stage's guide card.

namespace vantlo {

bool isTestPanelRequested();
// Runs the event loop of the test showing; returns the exit status.
int runTestPanelShowing();

}  // namespace vantlo
