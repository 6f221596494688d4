#include "ui/preferences/AppearancePane.h"

#include "settings/Localization.h"
#include "settings/PanelSettings.h"
#include "ui/preferences/PrefStyle.h"
#include "ui/preferences/SegmentedPicker.h"
#include "ui/preferences/SettingsRow.h"
#include "ui/preferences/SettingsSection.h"
#include "ui/preferences/ToggleSwitch.h"

namespace vantlo {
namespace {

template <class Value, class Title>
SegmentedPicker* picker(const std::vector<Value>& cases, Value current, Title title,
                        std::function<void(Value)> store) {
    QStringList titles;
    int selected = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        titles << QString::fromStdString(title(cases[i]));
        if (cases[i] == current)
            selected = static_cast<int>(i);
    }
    return new SegmentedPicker(titles, selected, 260,
                               [cases, store](int index) { store(cases.at(index)); });
}

ToggleSwitch* toggle(bool on, std::function<void(bool)> store) {
    auto* control = new ToggleSwitch(on);
    QObject::connect(control, &ToggleSwitch::toggled, control,
                     [store](bool value) { store(value); });
    return control;
}

}  // namespace

AppearancePane::AppearancePane(QWidget* parent) : SettingsDetail(parent) {
    setTitle(qt(localized("Appearance")));
    add(panelSection());
    add(listSection());
}

QWidget* AppearancePane::panelSection() {
    auto* section = new SettingsSection(qt(localized("Panel")));
    auto* font = new SettingsRow(qt(localized("Font size")),
                                 qt(localized("Scales titles, subtitles and the search field.")));
    font->addControl(picker<PanelFontSize>(PanelFontSizes::allCases(), PanelSettings::fontSize(),
                                           PanelFontSizes::title, PanelSettings::setFontSize));
    section->add(font);
    auto* width =
        new SettingsRow(qt(localized("Panel width")),
                        qt(localized("Compact = 290 px · Normal = 340 px · Wide = 400 px")));
    width->addControl(picker<PanelWidth>(PanelWidths::allCases(), PanelSettings::width(),
                                         PanelWidths::title, PanelSettings::setWidth));
    section->add(width);
    return section;
}

QWidget* AppearancePane::listSection() {
    auto* section = new SettingsSection(qt(localized("List Contents")));
    auto* apps = new SettingsRow(
        qt(localized("Show apps without windows")),
        qt(localized("When off, only running windows and browser tabs are shown.")));
    apps->addControl(
        toggle(PanelSettings::showAppsWithoutWindows(), PanelSettings::setShowAppsWithoutWindows));
    section->add(apps);
    // clang-format off
    auto* tabs = new SettingsRow(qt(localized("Prefer browser tabs")), qt(localized("When the active app is a supported browser, open directly into that browser's tab list.")));
    // clang-format on
    tabs->addControl(toggle(PanelSettings::preferBrowserTabsWhenFrontmost(),
                            PanelSettings::setPreferBrowserTabsWhenFrontmost));
    section->add(tabs);
    return section;
}

}  // namespace vantlo
