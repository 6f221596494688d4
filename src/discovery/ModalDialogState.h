#pragma once
// What the dialog probe found about an application's windows.

namespace vantlo {

enum class ModalDialogState {
    present,     // a sheet or dialog is showing
    absent,      // the windows were read and none is a dialog
    unreadable,  // the windows could not be read (callers treat it as absent)
};

}  // namespace vantlo
