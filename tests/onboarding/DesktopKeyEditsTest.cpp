#include <gtest/gtest.h>

#include <string>

#include "onboarding/DesktopBindingEdits.h"
#include "onboarding/DesktopKind.h"
#include "onboarding/OpenboxKeyBindings.h"

namespace vantlo {
namespace {

// The keyboard section as openbox ships it, trimmed: Alt+Tab, Alt+Shift+Tab, a chain with a
// nested Alt+Tab, and a commented-out one.
const std::string kRcXml = R"(<openbox_config>
<keyboard>
  <chainQuitKey>C-g</chainQuitKey>
  <!-- <keybind key="A-Tab"><action name="Old"/></keybind> -->
  <keybind key="A-Tab">
    <action name="NextWindow">
      <finalactions>
        <action name="Focus"/>
      </finalactions>
    </action>
  </keybind>
  <keybind key="A-S-Tab">
    <action name="PreviousWindow"/>
  </keybind>
  <keybind key="W-e">
    <keybind key="A-Tab"><action name="Execute"/></keybind>
  </keybind>
  <keybind key="Mod1-tab"/>
</keyboard>
<mouse/>
</openbox_config>
)";

TEST(OpenboxKeyBindings, AltTabIsTakenOutAndPutBack) {
    auto released = OpenboxKeyBindings::withoutAltTab(kRcXml);
    ASSERT_TRUE(released);
    ASSERT_EQ(released->removed.size(), 2u)
        << "A-Tab and Mod1-tab, not the chain's or the comment's";
    EXPECT_EQ(released->removed[1], "  <keybind key=\"Mod1-tab\"/>\n");
    const std::string& text = released->text;
    EXPECT_EQ(text.find("NextWindow"), std::string::npos);
    EXPECT_NE(text.find("<keybind key=\"A-S-Tab\">"), std::string::npos) << "Alt+Shift+Tab stays";
    EXPECT_NE(text.find("<!-- <keybind key=\"A-Tab\">"), std::string::npos) << "comments stay";
    EXPECT_NE(text.find("<keybind key=\"A-Tab\"><action name=\"Execute\"/>"), std::string::npos)
        << "a chain's own Alt+Tab is not the desktop's";
    EXPECT_EQ(text.find("\n\n"), std::string::npos) << "no blank line left behind:\n" << text;
    EXPECT_FALSE(OpenboxKeyBindings::withoutAltTab(text)) << "nothing left to free";

    auto restored = OpenboxKeyBindings::withRestored(text, released->removed);
    ASSERT_TRUE(restored);
    EXPECT_NE(restored->find(released->removed[0] + released->removed[1] + "</keyboard>"),
              std::string::npos)
        << *restored;
    auto again = OpenboxKeyBindings::withoutAltTab(*restored);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->text, text) << "freeing the restored file frees the same bindings";
    EXPECT_EQ(again->removed, released->removed);

    EXPECT_EQ(OpenboxKeyBindings::withRestored(*restored, released->removed), *restored)
        << "a file that binds Alt+Tab again is left alone";
    EXPECT_FALSE(OpenboxKeyBindings::withRestored("<openbox_config/>", released->removed))
        << "no keyboard section to put it in";
}

TEST(OpenboxKeyBindings, KeyNames) {
    for (const char* key : {"A-Tab", "Mod1-Tab", "A-tab", "A-TAB"})
        EXPECT_TRUE(OpenboxKeyBindings::isAltTab(key)) << key;
    for (const char* key : {"A-S-Tab", "C-A-Tab", "W-Tab", "Tab", "A-Tabs", ""})
        EXPECT_FALSE(OpenboxKeyBindings::isAltTab(key)) << key;
}

TEST(DesktopBindingEdits, GSettingsValuesLoseAltTab) {
    struct Case {
        std::string printed;
        std::optional<std::string> freed;
    };
    for (const Case& c : {
             Case{"['<Super>Tab', '<Alt>Tab']\n", "['<Super>Tab']"},
             Case{"['<Alt>Tab']", "[]"},
             Case{"['<alt>tab', \"<Mod1>Tab\", '<Alt>grave']", "['<Alt>grave']"},
             Case{"'<Alt>Tab'\n", "'disabled'"},
             Case{"@as []", std::nullopt},
             Case{"['<Super>Tab']", std::nullopt},
             Case{"['<Alt>Tab'", std::nullopt},
             Case{"", std::nullopt},
             Case{"['it\\'s', '<Alt>Tab']", "['it\\'s']"},
         }) {
        EXPECT_EQ(DesktopBindingEdits::gsettingsWithoutAltTab(c.printed), c.freed)
            << "printed " << c.printed;
    }
    EXPECT_EQ(DesktopBindingEdits::gsettingsKeys(DesktopKind::gnome).front().key,
              "switch-applications");
    EXPECT_TRUE(DesktopBindingEdits::gsettingsKeys(DesktopKind::openbox).empty());
}

TEST(DesktopBindingEdits, KdeEntriesLoseAltTab) {
    EXPECT_EQ(DesktopBindingEdits::kdeEntryWithoutAltTab("Alt+Tab,Alt+Tab,Walk Through Windows"),
              "none,Alt+Tab,Walk Through Windows");
    EXPECT_EQ(DesktopBindingEdits::kdeEntryWithoutAltTab(
                  "Alt+Tab\tMeta+Tab,Alt+Tab,Walk Through Windows"),
              "Meta+Tab,Alt+Tab,Walk Through Windows");
    EXPECT_EQ(DesktopBindingEdits::kdeEntryWithoutAltTab("none,Alt+Tab,Walk Through Windows"),
              std::nullopt);
    EXPECT_EQ(DesktopBindingEdits::kdeEntryWithoutAltTab("Meta+Tab,Alt+Tab,Walk"), std::nullopt);
}

TEST(DesktopKind, DetectedFromTheSessionAndTheWindowManager) {
    EXPECT_EQ(DesktopKinds::detect("ubuntu:GNOME", ""), DesktopKind::gnome);
    EXPECT_EQ(DesktopKinds::detect("X-Cinnamon", ""), DesktopKind::cinnamon);
    EXPECT_EQ(DesktopKinds::detect("MATE", "Metacity (Marco)"), DesktopKind::mate);
    EXPECT_EQ(DesktopKinds::detect("XFCE", "Xfwm4"), DesktopKind::xfce);
    EXPECT_EQ(DesktopKinds::detect("KDE", "KWin"), DesktopKind::kdePlasma);
    EXPECT_EQ(DesktopKinds::detect("LXDE", "Openbox"), DesktopKind::openbox);
    EXPECT_EQ(DesktopKinds::detect("", "Openbox"), DesktopKind::openbox);
    EXPECT_EQ(DesktopKinds::detect("", "Fluxbox"), DesktopKind::unknown);
    EXPECT_EQ(DesktopKinds::displayName(DesktopKind::unknown, "Budgie:GNOME"), "Budgie");
    EXPECT_EQ(DesktopKinds::displayName(DesktopKind::kdePlasma), "KDE Plasma");
    for (auto kind : {DesktopKind::gnome, DesktopKind::xfce, DesktopKind::openbox})
        EXPECT_EQ(DesktopKinds::fromName(DesktopKinds::name(kind)), kind);
}

}  // namespace
}  // namespace vantlo
