#pragma once
// The Feedback pane's state: "Copy Diagnostics" puts the diagnostics report on the clipboard and
// reads "Copied" for 1.4 seconds; a second copy within that time schedules its own reset (the
// first one may end the "Copied" early). The report comes from the caller, so this pane needs
// nothing above it.

#include <functional>
#include <memory>
#include <string>

namespace vantlo {

class FeedbackPaneModel {
  public:
    static constexpr double kCopiedSeconds = 1.4;

    FeedbackPaneModel(std::function<std::string()> diagnostics, std::function<void()> changed = {});
    ~FeedbackPaneModel();

    bool copied() const { return state_->copied; }
    // False when the clipboard refused the text (the label then stays as it was).
    bool copyDiagnostics();
    std::string copyTitle() const;   // "Copy Diagnostics" / "Copied"
    std::string copySymbol() const;  // "doc.on.doc" / "checkmark"

  private:
    // Shared with the scheduled resets, which do nothing once the pane has gone.
    struct State {
        bool copied = false;
        bool alive = true;
        std::function<void()> changed;
    };
    std::function<std::string()> diagnostics_;
    std::shared_ptr<State> state_;
};

}  // namespace vantlo
