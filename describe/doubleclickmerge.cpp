#include "describe/doubleclickmerge.h"

#include "describe/phrase.h"

namespace klavoro {

bool mergeDoubleClick(const QString& eventName, LastRecordedStep& last) {
    const QString button = eventName.section(u'+', 0, 0);
    if (button != QLatin1String("Left") && button != QLatin1String("Right") &&
        button != QLatin1String("Middle"))
        return false;
    // Modifiers are sampled anew for the second press; the button decides.
    if (last.lastEventName().section(u'+', 0, 0) != button) return false;
    const QString before = last.lastSentence();
    const QString after = doubleClickSentence(before);
    if (after == before) return false;
    last.replaceLastSentence(after);
    return true;
}

} // namespace klavoro
