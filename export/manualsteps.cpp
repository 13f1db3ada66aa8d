#include "export/manualsteps.h"

#include "capture/imageprobe.h"
#include "export/documentsteps.h"
#include "export/numbertext.h"
#include "store/imagename.h"
#include "store/stepline.h"
#include "store/steplist.h"

#include <QDir>
#include <QImageReader>

namespace klavoro {

ManualSteps::ManualSteps(int count, LineAt line, const QString& folder, const Settings& settings)
    : m_count(count), m_line(std::move(line)), m_folder(folder), m_settings(settings),
      m_files(folder) {}

ManualSteps ManualSteps::of(const ExportHost& host, const Settings& settings) {
    return ManualSteps(
        host.stepCount(), [&host](int n) { return host.stepLine(n); }, host.captureFolder(),
        settings);
}

ManualSteps ManualSteps::of(const StepList& steps, const QString& folder,
                            const Settings& settings) {
    return ManualSteps(
        steps.count(), [&steps](int n) { return steps.line(n); }, folder, settings);
}

ManualStep ManualSteps::step(int n) const {
    const QString line = m_line(n);
    ManualStep step;
    step.number = n;
    step.numberText = stepNumberText(n, m_settings);
    step.lines = lineField(line, FieldMessage).split(QChar(4));
    step.imageName = lineField(line, FieldImageName);
    if (step.imageName.isEmpty()) return step;
    step.fileName = m_files.find(step.imageName);
    if (step.fileName.isEmpty()) return step;
    step.filePath = m_folder + step.fileName;
    step.textFile = step.fileName.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
    return step;
}

ManualStep ManualSteps::withPicture(int n) const {
    ManualStep s = step(n);
    probePicture(s);
    return s;
}

void probePicture(ManualStep& step) {
    step.picture = ManualStep::Picture::None;
    step.size = QSize();
    if (step.filePath.isEmpty() || step.textFile) return;
    const ImageSize probed = probeImageSize(step.filePath);
    if (probed.type == ImageSize::Png || probed.type == ImageSize::Jpeg) {
        step.picture =
            probed.type == ImageSize::Png ? ManualStep::Picture::Png : ManualStep::Picture::Jpeg;
        step.size = QSize(probed.width, probed.height);
    } else {
        // BMP, GIF and whatever else Qt reads are converted when written.
        QImageReader reader(step.filePath);
        const QSize size = reader.size();
        if (reader.canRead() && size.width() > 0 && size.height() > 0) {
            step.picture = ManualStep::Picture::Other;
            step.size = size;
        }
    }
    if (step.size.width() <= 0 || step.size.height() <= 0) {
        step.picture = ManualStep::Picture::None;
        step.size = QSize();
    }
}

QString manualTitle(const QString& folder) {
    QDir dir(folder);
    QString name = dir.dirName();
    if (name.compare(QLatin1String("NO_RECT"), Qt::CaseInsensitive) == 0 && dir.cdUp() &&
        !dir.dirName().isEmpty())
        name = dir.dirName() + QStringLiteral(" (NO_RECT)");
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("/"))
        return QStringLiteral("操作説明");
    return name;
}

QString manualDate(const QDate& date) {
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

} // namespace klavoro
