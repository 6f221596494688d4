#include "ui/preferences/GeneralPane.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "settings/PanelDisplay.h"
#include "settings/PanelEdge.h"
#include "ui/preferences/HotkeyRecorderView.h"
#include "ui/preferences/PermissionRow.h"
#include "ui/preferences/PrefStyle.h"
#include "ui/preferences/SettingsRow.h"
#include "ui/preferences/SettingsSection.h"
#include "ui/preferences/ShortcutsPane.h"
#include "ui/preferences/ToggleSwitch.h"

namespace vantlo {
namespace {

// A pop-up menu over `cases`, 220 wide, that stores the picked one.
template <class Value>
QComboBox* popUp(const std::vector<Value>& cases, Value current,
                 std::function<std::string(Value)> title, std::function<void(Value)> store) {
    auto* menu = new QComboBox;
    menu->setFixedWidth(220);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        menu->addItem(qt(title(cases[i])));
        if (cases[i] == current)
            menu->setCurrentIndex(static_cast<int>(i));
    }
    QObject::connect(menu, &QComboBox::activated, menu,
                     [cases, store](int index) { store(cases.at(index)); });
    return menu;
}

}  // namespace

GeneralPane::GeneralPane(GeneralPaneModel::Session session, PreferencesServices services,
                         QWidget* parent)
    : SettingsDetail(parent),
      rendering_(this, [this] { render(); }),
      services_(std::move(services)) {
    model_ = std::make_unique<GeneralPaneModel>(session, rendering_.scheduler());
    if (services_.browserAccess) {
        browsers_ = BrowserAccessModel::create(services_.browserAccess, rendering_.scheduler());
        browsers_->refresh();
    }
    render();
}

void GeneralPane::render() {
    clear();
    setTitle(qt(localized("General")));
    add(keyboardSection());
    add(behaviorSection());
    // No Updates section: on Linux the package manager updates Vantlo.
    add(permissionSection());
    if (browsers_)
        add(browserSection());
}

QWidget* GeneralPane::keyboardSection() {
    auto* section = new SettingsSection(qt(localized("Keyboard")));
    QString detail = qt(localized("Hold this shortcut to show Vantlo."));
    auto* row = new SettingsRow(qt(localized("Activation Hotkey")), detail);
    auto* recorder = new HotkeyRecorderView(
        model_->hotkey(), false, [this](const HotkeyConfig& config) { model_->setHotkey(config); },
        {180, 28});
    QLabel* label = row->detailLabel();
    recorder->setOnArmed([label, detail](bool armed, bool keyboardTaken) {
        label->setText(armed ? ShortcutsPane::armedHint(keyboardTaken) : detail);
    });
    row->addControl(recorder);
    auto* reset = new QPushButton(qt(GeneralPaneModel::resetTitle()));
    QObject::connect(reset, &QPushButton::clicked, this, [this] { model_->resetHotkey(); });
    row->addControl(reset);
    section->add(row);
    if (QWidget* giveBack = desktopKeyRow())
        section->add(giveBack);
    return section;
}

QWidget* GeneralPane::desktopKeyRow() {
    const std::string desktop = services_.freedDesktopName ? services_.freedDesktopName() : "";
    if (desktop.empty() || !services_.giveBackDesktopKey)
        return nullptr;
    const std::string key = HotkeyConfig::defaultActivation().displayString();
    // clang-format off
    std::string detail = giveBackError_.empty()
        ? localizedFormat("Vantlo took %2$@ from %1$@'s own settings. Give it back to let the desktop use it again; record another shortcut above first to keep Vantlo at hand.", {desktop, key})
        : giveBackError_;
    // clang-format on
    auto* row = new SettingsRow(qt(localized("Desktop shortcut")), qt(detail));
    if (!giveBackError_.empty())
        row->detailLabel()->setStyleSheet("color: rgb(255, 150, 120)");
    auto* button = new QPushButton(qt(localizedFormat("Give %@ back to the desktop", {key})));
    button->setEnabled(!givingBack_);
    QObject::connect(button, &QPushButton::clicked, this, [this] { giveBackDesktopKey(); });
    row->addControl(button);
    return row;
}

void GeneralPane::giveBackDesktopKey() {
    givingBack_ = true;
    giveBackError_.clear();
    render();
    QPointer<GeneralPane> self(this);
    services_.giveBackDesktopKey([self](bool ok, const std::string& why) {
        if (!self)
            return;
        self->givingBack_ = false;
        self->giveBackError_ = ok ? std::string() : why;
        self->render();
    });
}

QWidget* GeneralPane::behaviorSection() {
    auto* section = new SettingsSection(qt(localized("Behavior")));
    auto* language =
        new SettingsRow(qt(localized("Language")),
                        qt(localized("Choose the display language used inside Vantlo.")));
    language->addControl(
        popUp<AppLanguage>(AppLanguages::allCases(), model_->language(), AppLanguages::displayName,
                           [this](AppLanguage choice) { model_->setLanguage(choice); }));
    section->add(language);

    auto* side = new SettingsRow(qt(localized("Panel side")),
                                 qt(localized("Choose the screen edge Vantlo slides in from.")));
    side->addControl(popUp<PanelEdge>(PanelEdges::allCases(), model_->edge(), PanelEdges::title,
                                      [this](PanelEdge edge) { model_->setEdge(edge); }));
    section->add(side);

    auto* display = new SettingsRow(qt(localized("Display")),
                                    qt(localized("Choose which display Vantlo appears on.")));
    display->addControl(
        popUp<PanelDisplay>(PanelDisplays::allCases(), model_->display(), PanelDisplays::title,
                            [this](PanelDisplay choice) { model_->setDisplay(choice); }));
    section->add(display);

    auto* login =
        new SettingsRow(qt(localized("Launch at login")), qt(model_->launchAtLoginDetail()));
    if (model_->launchAtLoginError())
        login->detailLabel()->setStyleSheet("color: rgb(255, 150, 120)");
    auto* toggle = new ToggleSwitch(model_->launchAtLogin());
    toggle->setAccessibleName(qt(localized("Launch at login")));
    QObject::connect(toggle, &ToggleSwitch::toggled, this,
                     [this](bool on) { model_->setLaunchAtLogin(on); });
    login->addControl(toggle);
    section->add(login);
    return section;
}

QWidget* GeneralPane::permissionSection() {
    auto* section = new SettingsSection(qt(localized("Required Permission")));
    section->add(new PermissionRow(model_->permission(), rendering_.scheduler()));
    return section;
}

QWidget* GeneralPane::browserSection() {
    auto* section = new SettingsSection(qt(localized("Browser Tabs")));
    for (const auto& content : browsers_->rows()) {
        section->add(new PermissionRow(content, [weak = std::weak_ptr(browsers_)] {
            if (auto browsers = weak.lock())
                browsers->refresh();
        }));
    }
    return section;
}

}  // namespace vantlo
