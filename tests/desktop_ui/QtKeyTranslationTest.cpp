#include "ui/switcher/QtKeyTranslation.h"

#include <gtest/gtest.h>

#include "platform/KeyCodes.h"

namespace vantlo {
namespace {

TEST(QtKeyTranslation, X11KeyCodesMapToPhysicalKeys) {
    // X11 key codes are evdev codes + 8.
    EXPECT_EQ(QtKeyTranslation::fromX11KeyCode(30 + 8), KeyCode::a);
    EXPECT_EQ(QtKeyTranslation::fromX11KeyCode(17 + 8), KeyCode::w);
    EXPECT_EQ(QtKeyTranslation::fromX11KeyCode(28 + 8), KeyCode::returnKey);
    EXPECT_EQ(QtKeyTranslation::fromX11KeyCode(15 + 8), KeyCode::tab);
    EXPECT_EQ(QtKeyTranslation::fromX11KeyCode(1 + 8), KeyCode::escape);
    EXPECT_EQ(QtKeyTranslation::fromX11KeyCode(103 + 8), KeyCode::upArrow);
    EXPECT_EQ(QtKeyTranslation::fromX11KeyCode(108 + 8), KeyCode::downArrow);
    EXPECT_EQ(QtKeyTranslation::fromX11KeyCode(96 + 8), KeyCode::keypadEnter);
    EXPECT_FALSE(QtKeyTranslation::fromX11KeyCode(56 + 8)) << "a lone Alt names no key";
    EXPECT_FALSE(QtKeyTranslation::fromX11KeyCode(3));
}

TEST(QtKeyTranslation, EventsWithoutNativeCodesUseTheQtKey) {
    QKeyEvent synthetic(QEvent::KeyPress, Qt::Key_S, Qt::AltModifier | Qt::ShiftModifier,
                        QStringLiteral("S"));
    auto key = QtKeyTranslation::translate(synthetic);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->keyCode, KeyCode::s);
    EXPECT_EQ(key->modifierFlags, ModifierFlags::option | ModifierFlags::shift);
    EXPECT_EQ(key->characters, "S");

    QKeyEvent backtab(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QtKeyTranslation::translate(backtab)->keyCode, KeyCode::tab);
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_FALSE(QtKeyTranslation::translate(shift));
}

TEST(QtKeyTranslation, MetaIsCommandAndControlIsControl) {
    EXPECT_EQ(QtKeyTranslation::modifierFlags(Qt::MetaModifier), ModifierFlags::command);
    EXPECT_EQ(QtKeyTranslation::modifierFlags(Qt::ControlModifier), ModifierFlags::control);
    EXPECT_EQ(QtKeyTranslation::modifierFlags(Qt::NoModifier), 0u);
    // Keys forwarded to the search field go back to Qt's modifiers unchanged.
    const Qt::KeyboardModifiers all =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    EXPECT_EQ(QtKeyTranslation::qtModifiers(QtKeyTranslation::modifierFlags(all)), all);
    EXPECT_EQ(QtKeyTranslation::qtModifiers(0), Qt::NoModifier);
}

}  // namespace
}  // namespace vantlo
