#include "record/runmode.h"

namespace klavoro {

void RunMode::set(const QString& mode) {
    if (mode == m_text) return;
    m_text = mode;
    emit changed(m_text);
}

RunMode& runMode() {
    static RunMode mode;
    return mode;
}

} // namespace klavoro
