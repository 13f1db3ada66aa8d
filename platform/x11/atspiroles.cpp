#include "platform/x11/atspiroles.h"

#include "platform/accessibility.h"

#include <atspi/atspi-constants.h>

#include <array>

namespace klavoro::x11 {

namespace {

struct RoleRow {
    AtspiRole atspi;
    int number;
};

// One row per AT-SPI role that has an equivalent. Choices worth knowing:
// filler (a plain widget's area) is the client area 10; panel (group boxes,
// framed containers) is grouping 20; toggle buttons are push buttons (their
// checked state becomes "pressed"); menu is the popup 11 even where GTK puts
// it in the menu bar, so its items read [File](メニュー)の[Open]; password
// text is editable text 42 with the protected state; a terminal is a
// document 15, not editable text, so that its whole buffer is never read as
// a field's value.
constexpr RoleRow kRoles[] = {
    {ATSPI_ROLE_TITLE_BAR, 1},
    {ATSPI_ROLE_MENU_BAR, 2},
    {ATSPI_ROLE_SCROLL_BAR, 3},
    {ATSPI_ROLE_AUDIO, 5},
    {ATSPI_ROLE_ALERT, 8},
    {ATSPI_ROLE_NOTIFICATION, 8},
    {ATSPI_ROLE_INFO_BAR, 8},
    {ATSPI_ROLE_FRAME, 9},
    {ATSPI_ROLE_WINDOW, 9},
    {ATSPI_ROLE_INTERNAL_FRAME, 9},
    {ATSPI_ROLE_DESKTOP_FRAME, 9},
    {ATSPI_ROLE_INPUT_METHOD_WINDOW, 9},
    {ATSPI_ROLE_FILLER, 10},
    {ATSPI_ROLE_DRAWING_AREA, 10},
    {ATSPI_ROLE_EMBEDDED, 10},
    {ATSPI_ROLE_MENU, 11},
    {ATSPI_ROLE_POPUP_MENU, 11},
    {ATSPI_ROLE_MENU_ITEM, 12},
    {ATSPI_ROLE_CHECK_MENU_ITEM, 12},
    {ATSPI_ROLE_RADIO_MENU_ITEM, 12},
    {ATSPI_ROLE_TEAROFF_MENU_ITEM, 12},
    {ATSPI_ROLE_TOOL_TIP, 13},
    {ATSPI_ROLE_APPLICATION, 14},
    {ATSPI_ROLE_DOCUMENT_FRAME, 15},
    {ATSPI_ROLE_DOCUMENT_SPREADSHEET, 15},
    {ATSPI_ROLE_DOCUMENT_PRESENTATION, 15},
    {ATSPI_ROLE_DOCUMENT_TEXT, 15},
    {ATSPI_ROLE_DOCUMENT_WEB, 15},
    {ATSPI_ROLE_DOCUMENT_EMAIL, 15},
    {ATSPI_ROLE_HTML_CONTAINER, 15},
    {ATSPI_ROLE_ARTICLE, 15},
    {ATSPI_ROLE_PAGE, 15},
    {ATSPI_ROLE_TERMINAL, 15},
    {ATSPI_ROLE_SCROLL_PANE, 16},
    {ATSPI_ROLE_SPLIT_PANE, 16},
    {ATSPI_ROLE_ROOT_PANE, 16},
    {ATSPI_ROLE_GLASS_PANE, 16},
    {ATSPI_ROLE_LAYERED_PANE, 16},
    {ATSPI_ROLE_VIEWPORT, 16},
    {ATSPI_ROLE_OPTION_PANE, 16},
    {ATSPI_ROLE_DIRECTORY_PANE, 16},
    {ATSPI_ROLE_CHART, 17},
    {ATSPI_ROLE_DIALOG, 18},
    {ATSPI_ROLE_FILE_CHOOSER, 18},
    {ATSPI_ROLE_FONT_CHOOSER, 18},
    {ATSPI_ROLE_COLOR_CHOOSER, 18},
    {ATSPI_ROLE_PANEL, 20},
    {ATSPI_ROLE_GROUPING, 20},
    {ATSPI_ROLE_SECTION, 20},
    {ATSPI_ROLE_FORM, 20},
    {ATSPI_ROLE_LANDMARK, 20},
    {ATSPI_ROLE_BLOCK_QUOTE, 20},
    {ATSPI_ROLE_HEADER, 20},
    {ATSPI_ROLE_FOOTER, 20},
    {ATSPI_ROLE_LOG, 20},
    {ATSPI_ROLE_SEPARATOR, 21},
    {ATSPI_ROLE_TOOL_BAR, 22},
    {ATSPI_ROLE_STATUS_BAR, 23},
    {ATSPI_ROLE_TABLE, 24},
    {ATSPI_ROLE_CALENDAR, 24},
    {ATSPI_ROLE_COLUMN_HEADER, 25},
    {ATSPI_ROLE_TABLE_COLUMN_HEADER, 25},
    {ATSPI_ROLE_ROW_HEADER, 26},
    {ATSPI_ROLE_TABLE_ROW_HEADER, 26},
    {ATSPI_ROLE_TABLE_ROW, 28},
    {ATSPI_ROLE_TABLE_CELL, 29},
    {ATSPI_ROLE_LINK, 30},
    {ATSPI_ROLE_LIST, 33},
    {ATSPI_ROLE_LIST_BOX, 33},
    {ATSPI_ROLE_DESCRIPTION_LIST, 33},
    {ATSPI_ROLE_LIST_ITEM, 34},
    {ATSPI_ROLE_DESKTOP_ICON, 34},
    {ATSPI_ROLE_DESCRIPTION_TERM, 34},
    {ATSPI_ROLE_DESCRIPTION_VALUE, 34},
    {ATSPI_ROLE_TREE, 35},
    {ATSPI_ROLE_TREE_TABLE, 35},
    {ATSPI_ROLE_TREE_ITEM, 36},
    {ATSPI_ROLE_PAGE_TAB, 37},
    {ATSPI_ROLE_ICON, 40},
    {ATSPI_ROLE_IMAGE, 40},
    {ATSPI_ROLE_IMAGE_MAP, 40},
    {ATSPI_ROLE_CANVAS, 40},
    {ATSPI_ROLE_ARROW, 40},
    {ATSPI_ROLE_LABEL, 41},
    {ATSPI_ROLE_ACCELERATOR_LABEL, 41},
    {ATSPI_ROLE_STATIC, 41},
    {ATSPI_ROLE_CAPTION, 41},
    {ATSPI_ROLE_HEADING, 41},
    {ATSPI_ROLE_PARAGRAPH, 41},
    {ATSPI_ROLE_COMMENT, 41},
    {ATSPI_ROLE_DEFINITION, 41},
    {ATSPI_ROLE_FOOTNOTE, 41},
    {ATSPI_ROLE_SUBSCRIPT, 41},
    {ATSPI_ROLE_SUPERSCRIPT, 41},
    {ATSPI_ROLE_CONTENT_DELETION, 41},
    {ATSPI_ROLE_CONTENT_INSERTION, 41},
    {ATSPI_ROLE_MARK, 41},
    {ATSPI_ROLE_SUGGESTION, 41},
    {ATSPI_ROLE_TEXT, 42},
    {ATSPI_ROLE_ENTRY, 42},
    {ATSPI_ROLE_PASSWORD_TEXT, 42},
    {ATSPI_ROLE_EDITBAR, 42},
    {ATSPI_ROLE_PUSH_BUTTON, 43},
    {ATSPI_ROLE_TOGGLE_BUTTON, 43},
    {ATSPI_ROLE_CHECK_BOX, 44},
    {ATSPI_ROLE_RADIO_BUTTON, 45},
    {ATSPI_ROLE_COMBO_BOX, 46},
    {ATSPI_ROLE_AUTOCOMPLETE, 46},
    {ATSPI_ROLE_DATE_EDITOR, 47},
    {ATSPI_ROLE_PROGRESS_BAR, 48},
    {ATSPI_ROLE_LEVEL_BAR, 48},
    {ATSPI_ROLE_DIAL, 49},
    {ATSPI_ROLE_SLIDER, 51},
    {ATSPI_ROLE_RATING, 51},
    {ATSPI_ROLE_SPIN_BUTTON, 52},
    {ATSPI_ROLE_ANIMATION, 54},
    {ATSPI_ROLE_VIDEO, 54},
    {ATSPI_ROLE_MARQUEE, 54},
    {ATSPI_ROLE_MATH, 55},
    {ATSPI_ROLE_MATH_FRACTION, 55},
    {ATSPI_ROLE_MATH_ROOT, 55},
    {ATSPI_ROLE_PUSH_BUTTON_MENU, 57},
    {ATSPI_ROLE_PAGE_TAB_LIST, 60},
    {ATSPI_ROLE_TIMER, 61},
};

constexpr std::array<int, ATSPI_ROLE_LAST_DEFINED> buildRoleIndex() {
    std::array<int, ATSPI_ROLE_LAST_DEFINED> index{};
    for (const RoleRow& row : kRoles)
        index[static_cast<size_t>(row.atspi)] = row.number;
    return index;
}

constexpr auto kRoleIndex = buildRoleIndex();

constexpr quint64 bit(AtspiStateType s) {
    return quint64(1) << static_cast<int>(s);
}

bool isTextInputRole(int atspiRole) {
    return atspiRole == ATSPI_ROLE_TEXT || atspiRole == ATSPI_ROLE_ENTRY ||
           atspiRole == ATSPI_ROLE_PASSWORD_TEXT || atspiRole == ATSPI_ROLE_EDITBAR;
}

} // namespace

static_assert(ATSPI_STATE_LAST_DEFINED < 64, "the state mask holds every AT-SPI state");

int roleFromAtspi(int atspiRole) {
    if (atspiRole < 0 || atspiRole >= static_cast<int>(kRoleIndex.size())) return 0;
    return kRoleIndex[static_cast<size_t>(atspiRole)];
}

bool isPasswordRole(int atspiRole) {
    return atspiRole == ATSPI_ROLE_PASSWORD_TEXT;
}

bool isWindowRole(int atspiRole) {
    return atspiRole == ATSPI_ROLE_FRAME || atspiRole == ATSPI_ROLE_DIALOG ||
           atspiRole == ATSPI_ROLE_WINDOW;
}

quint32 statesFromAtspi(quint64 s, int atspiRole) {
    const auto has = [s](AtspiStateType t) { return (s & bit(t)) != 0; };
    quint32 out = 0;
    // Toolkits drop both flags of a disabled widget; an element that never
    // had either (a bare container) is not called unavailable.
    if (!has(ATSPI_STATE_SENSITIVE) && !has(ATSPI_STATE_ENABLED) && s != 0)
        out |= state::Unavailable;
    if (has(ATSPI_STATE_SELECTED)) out |= state::Selected;
    if (has(ATSPI_STATE_FOCUSED)) out |= state::Focused;
    if (has(ATSPI_STATE_PRESSED)) out |= state::Pressed;
    if (has(ATSPI_STATE_CHECKED))
        out |= atspiRole == ATSPI_ROLE_TOGGLE_BUTTON ? state::Pressed : state::Checked;
    if (has(ATSPI_STATE_INDETERMINATE)) out |= state::Mixed;
    if (has(ATSPI_STATE_READ_ONLY) || (isTextInputRole(atspiRole) && !has(ATSPI_STATE_EDITABLE)))
        out |= state::ReadOnly;
    if (has(ATSPI_STATE_IS_DEFAULT)) out |= state::Default;
    if (has(ATSPI_STATE_EXPANDED))
        out |= state::Expanded;
    else if (has(ATSPI_STATE_EXPANDABLE))
        out |= state::Collapsed;
    if (has(ATSPI_STATE_BUSY)) out |= state::Busy;
    if (has(ATSPI_STATE_ANIMATED)) out |= state::Animated;
    if (!has(ATSPI_STATE_VISIBLE) && s != 0)
        out |= state::Invisible;
    else if (has(ATSPI_STATE_VISIBLE) && !has(ATSPI_STATE_SHOWING))
        out |= state::Offscreen;
    if (has(ATSPI_STATE_RESIZABLE)) out |= state::Sizeable;
    if (has(ATSPI_STATE_FOCUSABLE)) out |= state::Focusable;
    if (has(ATSPI_STATE_SELECTABLE)) out |= state::Selectable;
    if (atspiRole == ATSPI_ROLE_LINK) out |= state::Linked;
    if (has(ATSPI_STATE_VISITED)) out |= state::Traversed;
    if (has(ATSPI_STATE_MULTISELECTABLE)) out |= state::MultiSelectable | state::ExtSelectable;
    if (isPasswordRole(atspiRole)) out |= state::Protected;
    if (has(ATSPI_STATE_HAS_POPUP)) out |= state::HasPopup;
    return out;
}

} // namespace klavoro::x11
