#pragma once
// The attribute, action, role and subrole names of the Accessibility interface that Vantlo uses.

namespace vantlo::AX {

inline constexpr const char* windows = "AXWindows";
inline constexpr const char* title = "AXTitle";
inline constexpr const char* description = "AXDescription";
inline constexpr const char* help = "AXHelp";
inline constexpr const char* role = "AXRole";
inline constexpr const char* subrole = "AXSubrole";
inline constexpr const char* children = "AXChildren";
inline constexpr const char* minimized = "AXMinimized";
inline constexpr const char* main = "AXMain";
inline constexpr const char* focused = "AXFocused";
inline constexpr const char* focusedWindow = "AXFocusedWindow";
inline constexpr const char* closeButton = "AXCloseButton";
inline constexpr const char* enabled = "AXEnabled";
inline constexpr const char* selected = "AXSelected";
inline constexpr const char* value = "AXValue";
inline constexpr const char* sheet = "AXSheet";

inline constexpr const char* raiseAction = "AXRaise";
inline constexpr const char* pressAction = "AXPress";

inline constexpr const char* windowRole = "AXWindow";
inline constexpr const char* buttonRole = "AXButton";
inline constexpr const char* tabGroupRole = "AXTabGroup";
inline constexpr const char* radioButtonRole = "AXRadioButton";
inline constexpr const char* cellRole = "AXCell";

inline constexpr const char* standardWindowSubrole = "AXStandardWindow";
inline constexpr const char* dialogSubrole = "AXDialog";
inline constexpr const char* systemDialogSubrole = "AXSystemDialog";
inline constexpr const char* sheetSubrole = "AXSheet";
inline constexpr const char* closeButtonSubrole = "AXCloseButton";

}  // namespace vantlo::AX
