#include "preferences/FeedbackPaneModel.h"

#include "platform/Platform.h"
#include "settings/Localization.h"

namespace vantlo {

FeedbackPaneModel::FeedbackPaneModel(std::function<std::string()> diagnostics,
                                     std::function<void()> changed)
    : diagnostics_(std::move(diagnostics)), state_(std::make_shared<State>()) {
    state_->changed = std::move(changed);
}

FeedbackPaneModel::~FeedbackPaneModel() {
    state_->alive = false;
}

bool FeedbackPaneModel::copyDiagnostics() {
    auto& pasteboard = platform().pasteboard;
    if (!pasteboard || !pasteboard->setString(diagnostics_ ? diagnostics_() : std::string()))
        return false;
    state_->copied = true;
    if (state_->changed)
        state_->changed();
    platform().dispatch->asyncAfter(kCopiedSeconds, [state = state_] {
        if (!state->alive)
            return;
        state->copied = false;
        if (state->changed)
            state->changed();
    });
    return true;
}

std::string FeedbackPaneModel::copyTitle() const {
    return copied() ? localized("Copied") : localized("Copy Diagnostics");
}

std::string FeedbackPaneModel::copySymbol() const {
    return copied() ? "checkmark" : "doc.on.doc";
}

}  // namespace vantlo
