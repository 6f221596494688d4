#include "ui/preferences/ShortcutsPane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "input/ShortcutGroup.h"
#include "settings/Localization.h"
#include "ui/preferences/HotkeyRecorderView.h"
#include "ui/preferences/PrefStyle.h"
#include "ui/preferences/SettingsRow.h"
#include "ui/preferences/SettingsSection.h"

namespace vantlo {
namespace {

// Shows the armed hint under the row's title while its recorder listens.
void explainWhileArmed(HotkeyRecorderView* recorder, SettingsRow* row, const QString& detail) {
    QLabel* label = row->detailLabel();
    recorder->setOnArmed([label, detail](bool armed, bool keyboardTaken) {
        label->setText(armed ? ShortcutsPane::armedHint(keyboardTaken) : detail);
        label->setVisible(!label->text().isEmpty());
    });
}

}  // namespace

ShortcutsPane::ShortcutsPane(QWidget* parent)
    : SettingsDetail(parent), rendering_(this, [this] { render(); }) {
    model_ = std::make_unique<ShortcutsPaneModel>(rendering_.scheduler());
    render();
}

QString ShortcutsPane::armedHint(bool keyboardTaken) {
    // clang-format off
    if (!keyboardTaken)
        return qt(localized("Another program holds the keyboard, so some keys may not reach Vantlo. Close its menu or dialog and try again."));
    return qt(localized("Press the new shortcut, or Escape to keep the old one. A shortcut the window manager keeps for itself never arrives here: free it in the window manager's settings first."));
    // clang-format on
}

void ShortcutsPane::render() {
    clear();
    setTitle(qt(localized("Shortcuts")));
    add(activationSection());
    for (ShortcutGroup group : ShortcutGroups::allCases()) {
        auto* section = new SettingsSection(QString::fromStdString(ShortcutGroups::title(group)));
        for (ShortcutAction action : ShortcutGroups::members(group))
            section->add(shortcutRow(action));
        add(section);
    }
    auto* resetAll = new QPushButton(qt(localized("Reset all shortcuts")));
    resetAll->setProperty("small", true);
    QObject::connect(resetAll, &QPushButton::clicked, this, [this] { model_->resetAll(); });
    auto* line = new QHBoxLayout;
    line->addWidget(resetAll);
    line->addStretch(1);
    addLayout(line);
}

QWidget* ShortcutsPane::activationSection() {
    auto* section = new SettingsSection(qt(localized("Activation")));
    QString detail = qt(localized("Global shortcut that opens Vantlo and moves forward."));
    auto* row = new SettingsRow(qt(localized("Show / Next")), detail);
    auto* recorder = new HotkeyRecorderView(
        model_->activationHotkey(), false,
        [this](const HotkeyConfig& config) { model_->setActivationHotkey(config); }, {150, 28});
    explainWhileArmed(recorder, row, detail);
    row->addControl(recorder);
    auto* reset = new QPushButton(qt(localized("Reset")));
    QObject::connect(reset, &QPushButton::clicked, this,
                     [this] { model_->resetActivationHotkey(); });
    row->addControl(reset);
    section->add(row);
    return section;
}

SettingsRow* ShortcutsPane::shortcutRow(ShortcutAction action) {
    QString detail = QString::fromStdString(model_->caption(action));
    auto* row = new SettingsRow(QString::fromStdString(ShortcutActions::title(action)), detail);
    auto* recorder = new HotkeyRecorderView(model_->binding(action), true,
                                            [this, action](const HotkeyConfig& config) {
                                                model_->capture(action, config);
                                                rendering_.schedule();
                                            },
                                            {150, 28});
    explainWhileArmed(recorder, row, detail);
    row->addControl(recorder);
    auto* reset = new QPushButton(qt(localized("Reset")));
    QObject::connect(reset, &QPushButton::clicked, this, [this, action] { model_->reset(action); });
    row->addControl(reset);
    return row;
}

}  // namespace vantlo
