#include "platform/accessibility.h"
#include "platform/x11/atspielement.h"
#include "platform/x11/atspiroles.h"

#include <atspi/atspi-constants.h>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::x11;

namespace {
constexpr quint64 bit(AtspiStateType s) {
    return quint64(1) << s;
}
constexpr quint64 kEnabled = bit(ATSPI_STATE_ENABLED) | bit(ATSPI_STATE_SENSITIVE) |
                             bit(ATSPI_STATE_VISIBLE) | bit(ATSPI_STATE_SHOWING);
} // namespace

TEST(AtspiRoles, WhatToolkitsReportForCommonControls) {
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_PUSH_BUTTON), 43);
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_TOGGLE_BUTTON), 43);
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_TEXT), 42);
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_ENTRY), 42);
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_MENU_ITEM), 12);
    // GTK's menu in a menu bar and Qt's popup are both the menu of their items.
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_MENU), 11);
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_POPUP_MENU), 11);
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_FILLER), 10);
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_PANEL), 20);
    // Not editable text: its buffer must never be read as a field value.
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_TERMINAL), 15);
}

TEST(AtspiRoles, UnknownAndOutOfRange) {
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_INVALID), 0);
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_UNKNOWN), 0);
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_REDUNDANT_OBJECT), 0);
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_LAST_DEFINED), 0);
    EXPECT_EQ(roleFromAtspi(-3), 0);
    EXPECT_EQ(roleFromAtspi(100000), 0);
}

TEST(AtspiRoles, EveryDefinedRoleMapsIntoTheWordTable) {
    for (int r = 0; r < ATSPI_ROLE_LAST_DEFINED; ++r) {
        const int n = roleFromAtspi(r);
        EXPECT_TRUE(n >= 0 && n <= 63) << r;
    }
}

TEST(AtspiStates, FocusCheckAndSelection) {
    EXPECT_EQ(statesFromAtspi(kEnabled | bit(ATSPI_STATE_FOCUSED) | bit(ATSPI_STATE_FOCUSABLE),
                              ATSPI_ROLE_PUSH_BUTTON),
              state::Focused | state::Focusable);
    EXPECT_EQ(statesFromAtspi(kEnabled | bit(ATSPI_STATE_CHECKED), ATSPI_ROLE_CHECK_BOX),
              state::Checked);
    EXPECT_EQ(statesFromAtspi(kEnabled | bit(ATSPI_STATE_SELECTED) | bit(ATSPI_STATE_SELECTABLE),
                              ATSPI_ROLE_LIST_ITEM),
              state::Selected | state::Selectable);
    EXPECT_EQ(statesFromAtspi(kEnabled | bit(ATSPI_STATE_INDETERMINATE), ATSPI_ROLE_CHECK_BOX),
              state::Mixed);
}

TEST(AtspiStates, CheckedToggleButtonIsPressed) {
    EXPECT_EQ(statesFromAtspi(kEnabled | bit(ATSPI_STATE_CHECKED), ATSPI_ROLE_TOGGLE_BUTTON),
              state::Pressed);
    EXPECT_EQ(statesFromAtspi(kEnabled | bit(ATSPI_STATE_PRESSED), ATSPI_ROLE_PUSH_BUTTON),
              state::Pressed);
}

TEST(AtspiStates, DisabledOnlyWhenBothFlagsAreMissing) {
    const quint64 shown = bit(ATSPI_STATE_VISIBLE) | bit(ATSPI_STATE_SHOWING);
    EXPECT_EQ(statesFromAtspi(shown, ATSPI_ROLE_PUSH_BUTTON), state::Unavailable);
    EXPECT_EQ(statesFromAtspi(shown | bit(ATSPI_STATE_SENSITIVE), ATSPI_ROLE_PUSH_BUTTON), 0u);
    // An empty set is a failed read, not a disabled, hidden element.
    EXPECT_EQ(statesFromAtspi(0, ATSPI_ROLE_PUSH_BUTTON), 0u);
}

TEST(AtspiStates, TextFieldsWithoutEditableAreReadOnly) {
    EXPECT_EQ(statesFromAtspi(kEnabled, ATSPI_ROLE_TEXT), state::ReadOnly);
    EXPECT_EQ(statesFromAtspi(kEnabled | bit(ATSPI_STATE_EDITABLE), ATSPI_ROLE_TEXT), 0u);
    EXPECT_EQ(statesFromAtspi(kEnabled, ATSPI_ROLE_LABEL), 0u);
    EXPECT_EQ(statesFromAtspi(kEnabled | bit(ATSPI_STATE_READ_ONLY), ATSPI_ROLE_CHECK_BOX),
              state::ReadOnly);
}

TEST(AtspiStates, PasswordFieldIsProtectedEditableText) {
    EXPECT_TRUE(isPasswordRole(ATSPI_ROLE_PASSWORD_TEXT));
    EXPECT_FALSE(isPasswordRole(ATSPI_ROLE_TEXT));
    const quint32 s =
        statesFromAtspi(kEnabled | bit(ATSPI_STATE_EDITABLE), ATSPI_ROLE_PASSWORD_TEXT);
    EXPECT_EQ(s, state::Protected);
    EXPECT_EQ(roleFromAtspi(ATSPI_ROLE_PASSWORD_TEXT), role::Text);
}

TEST(AtspiStates, ExpansionVisibilityAndLinks) {
    EXPECT_EQ(statesFromAtspi(kEnabled | bit(ATSPI_STATE_EXPANDABLE), ATSPI_ROLE_TREE_ITEM),
              state::Collapsed);
    EXPECT_EQ(statesFromAtspi(kEnabled | bit(ATSPI_STATE_EXPANDABLE) | bit(ATSPI_STATE_EXPANDED),
                              ATSPI_ROLE_TREE_ITEM),
              state::Expanded);
    const quint64 scrolledAway = bit(ATSPI_STATE_ENABLED) | bit(ATSPI_STATE_VISIBLE);
    EXPECT_EQ(statesFromAtspi(scrolledAway, ATSPI_ROLE_LIST_ITEM), state::Offscreen);
    EXPECT_EQ(statesFromAtspi(bit(ATSPI_STATE_ENABLED), ATSPI_ROLE_LIST_ITEM), state::Invisible);
    EXPECT_EQ(statesFromAtspi(kEnabled | bit(ATSPI_STATE_VISITED), ATSPI_ROLE_LINK),
              state::Linked | state::Traversed);
    EXPECT_EQ(statesFromAtspi(kEnabled | bit(ATSPI_STATE_MULTISELECTABLE), ATSPI_ROLE_LIST),
              state::MultiSelectable | state::ExtSelectable);
}

TEST(CallBudget, OneSlowCallGivesUpTheRestOfTheInspection) {
    CallBudget budget(200, 240);
    EXPECT_EQ(budget.nextCallTimeout(), 200);
    // A failure that came back at once is an answer, not a hang.
    budget.callDone(budget.elapsed(), false);
    EXPECT_FALSE(budget.gaveUp());
    EXPECT_FALSE(budget.timedOut());
    EXPECT_GT(budget.nextCallTimeout(), 0);
    // A slow answer ends this query but marks nothing: the machine is busy.
    CallBudget slow(200, 240);
    slow.nextCallTimeout();
    slow.callDone(slow.elapsed() - 160, false);
    EXPECT_TRUE(slow.gaveUp());
    EXPECT_FALSE(slow.timedOut());
    // A call that ran into its whole timeout: the application does not answer.
    budget.callDone(budget.elapsed() - 200, true);
    EXPECT_TRUE(budget.gaveUp());
    EXPECT_TRUE(budget.timedOut());
    EXPECT_EQ(budget.nextCallTimeout(), 0);
    EXPECT_EQ(budget.calls(), 2);
}

TEST(CallBudget, NothingIsAskedOnceTheTimeIsSpent) {
    CallBudget budget(200, 0);
    EXPECT_EQ(budget.nextCallTimeout(), 0);
    EXPECT_TRUE(budget.gaveUp());
    // Spent time is not a hung application.
    EXPECT_FALSE(budget.timedOut());
    EXPECT_EQ(budget.calls(), 0);
}

TEST(CallBudget, ACallCutShortByAHeldPressSaysNothingOfTheApplication) {
    CallBudget budget(200, 240);
    budget.limitTotal(40);
    EXPECT_LE(budget.nextCallTimeout(), 40);
    // The bus gave up after the 40 ms it was allowed: no hung application,
    // but nothing more is asked in this query.
    budget.callDone(budget.elapsed() - 40, true);
    EXPECT_TRUE(budget.gaveUp());
    EXPECT_FALSE(budget.timedOut());
}

// GTK 4's resize border around a window that draws its own title bar.
TEST(Gtk4Border, OnlyAnEvenBorderAllRoundIsOne) {
    EXPECT_EQ(gtk4BorderOf({365, 508}, {355, 498}), QPoint(5, 5));
    EXPECT_EQ(gtk4BorderOf({355, 498}, {355, 498}), QPoint()); // none (maximised, a compositor)
    EXPECT_EQ(gtk4BorderOf({285, 418}, {250, 400}), QPoint()); // a popover's surface
    EXPECT_EQ(gtk4BorderOf({345, 488}, {355, 498}), QPoint()); // smaller than the element
    EXPECT_EQ(gtk4BorderOf({555, 698}, {355, 498}), QPoint()); // far more than a border
    EXPECT_EQ(gtk4BorderOf({365, 508}, {0, 0}), QPoint());     // not placed
}
