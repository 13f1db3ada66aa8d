#include "export/documentsteps.h"

#include "capture/imageprobe.h"
#include "store/capturefolder.h"
#include "store/imagename.h"
#include "store/notices.h"
#include "store/stepline.h"
#include "store/steplist.h"

#include <QImageReader>

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

DocumentStep documentStep(const QString& line, const QString& folder) {
    DocumentStep step;
    step.lines = lineField(line, FieldMessage).split(QChar(4));
    const QString name = lineField(line, FieldImageName);
    if (name.isEmpty()) return step;
    step.file = findImageFile(folder, name);
    if (step.file.isEmpty() || step.file.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        return step;
    const ImageSize probed = probeImageSize(step.file);
    if (probed.type == ImageSize::Png || probed.type == ImageSize::Jpeg) {
        step.picture = probed.type == ImageSize::Png ? DocumentStep::Picture::Png
                                                     : DocumentStep::Picture::Jpeg;
        step.size = QSize(probed.width, probed.height);
    } else {
        // BMP, GIF and whatever else Qt reads are converted when written.
        QImageReader reader(step.file);
        const QSize size = reader.size();
        if (reader.canRead() && size.width() > 0 && size.height() > 0) {
            step.picture = DocumentStep::Picture::Other;
            step.size = size;
        }
    }
    if (step.size.width() <= 0 || step.size.height() <= 0) {
        step.picture = DocumentStep::Picture::None;
        step.size = QSize();
    }
    return step;
}

QSize limitWidth(QSize size, int maxWidth) {
    if (maxWidth <= 0 || size.width() <= maxWidth) return size;
    const int height =
        static_cast<int>(std::lround(static_cast<double>(size.height()) * maxWidth / size.width()));
    return QSize(maxWidth, std::max(1, height));
}

} // namespace klavoro
