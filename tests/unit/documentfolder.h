#pragma once

#include "export/documentsteps.h"
#include "store/stepline.h"
#include "store/steplist.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

namespace klavoro::test {

// A capture folder with steps for the document exports: each step gets a
// picture file of the kind asked for ("png", "jpg", "bmp", "txt", or "" for
// a step whose file is missing).
class DocumentFolder : public ExportHost {
public:
    QTemporaryDir dir;
    StepList steps;
    QStringList progress;

    QString folder() const { return dir.path() + '/'; }

    // The image name of step n is 2026120609050300 + n.
    void addStep(const QString& sentence, const QString& kind, QSize size = QSize(320, 200),
                 QColor colour = Qt::darkCyan) {
        const QString name = QString::number(2026120609050300LL + steps.count() + 1);
        const QString path = folder() + name + '.' + kind;
        if (kind == QLatin1String("txt")) {
            QFile f(path);
            if (f.open(QIODevice::WriteOnly)) f.write("memo\r\n");
        } else if (!kind.isEmpty()) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(colour);
            // A stripe, so that encoders cannot shrink it to nothing.
            for (int x = 0; x < size.width(); x += 7)
                for (int y = 0; y < size.height(); ++y)
                    image.setPixel(x, y, qRgb(x % 256, y % 256, 90));
            image.save(path, nullptr, 90);
        }
        steps.append(buildStepLine(steps.count() + 1, name, sentence, kind.isEmpty() ? "jpg" : kind,
                                   QString()));
    }

    int stepCount() const override { return steps.count(); }
    QString stepLine(int n) const override { return steps.line(n); }
    QString captureFolder() const override { return folder(); }
    void showProgress(const QString& text) override { progress << text; }
};

} // namespace klavoro::test
