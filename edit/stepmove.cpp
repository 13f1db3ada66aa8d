#include "edit/stepmove.h"

#include "store/oplist.h"
#include "edit/stepedithost.h"
#include "store/steplist.h"

namespace klavoro {

int moveSelectedStep(StepList& steps, OperationList& opList, StepEditHost& host,
                     MoveTarget target) {
    const int from = steps.selectedStep();
    const int count = steps.count();
    if (from < 1 || from > count) return 0;
    int to = from;
    switch (target) {
    case MoveTarget::Previous:
        to = from - 1;
        break;
    case MoveTarget::Next:
        to = from + 1;
        break;
    case MoveTarget::First:
        to = 1;
        break;
    case MoveTarget::Last:
        to = count;
        break;
    }
    if (to < 1 || to > count || to == from) return 0;
    host.setListEventsSuppressed(true);
    const bool moved = steps.moveStep(from, to);
    host.setListEventsSuppressed(false);
    if (!moved) return 0;
    steps.setSelectedStep(to);
    host.selectStep(to);
    host.refreshStrip();
    opList.save();
    return to;
}

} // namespace klavoro
