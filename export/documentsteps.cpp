#include "export/documentsteps.h"

#include "store/notices.h"
#include "store/steplist.h"

#include <algorithm>
#include <cmath>

namespace klavoro {

StepListExportHost::StepListExportHost(const StepList& steps, QString folder, Notices& notices)
    : m_steps(steps), m_folder(std::move(folder)), m_notices(notices) {}

int StepListExportHost::stepCount() const {
    return m_steps.count();
}

QString StepListExportHost::stepLine(int n) const {
    return m_steps.line(n);
}

void StepListExportHost::showProgress(const QString& text) {
    m_notices.showProgress(text);
}

int progressInterval(int stepCount) {
    // 10 to the power (digits - 2), counted in whole numbers.
    int p = 1;
    for (int n = stepCount; n >= 100; n /= 10)
        p *= 10;
    return p;
}

QSize limitWidth(QSize size, int maxWidth) {
    if (maxWidth <= 0 || size.width() <= maxWidth) return size;
    const int height =
        static_cast<int>(std::lround(static_cast<double>(size.height()) * maxWidth / size.width()));
    return QSize(maxWidth, std::max(1, height));
}

} // namespace klavoro
