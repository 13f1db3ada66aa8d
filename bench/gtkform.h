#pragma once

// The GTK form full of personal data (tests/fixture/gtk_privateform.py),
// started for a benchmark; `labels` more labels crowd it.
#include "platform/desktop.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QProcess>
#include <QStringList>
#include <QThread>

namespace klavoro::bench {

struct GtkForm {
    explicit GtkForm(int labels) {
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(KLAVORO_SOURCE_DIR "/tests/fixture/gtk_privateform.py"),
                       QStringLiteral("20,20"), QString::number(labels)});
        QElapsedTimer clock;
        clock.start();
        // A loaded machine may take seconds before GTK says anything.
        while (window == 0 && clock.elapsed() < 20000) {
            process.waitForReadyRead(500);
            while (process.canReadLine()) {
                const QStringList parts =
                    QString::fromUtf8(process.readLine()).trimmed().split(u' ');
                if (parts.size() == 6 && parts[0] == QLatin1String("geometry") &&
                    parts[1] == QLatin1String("mail"))
                    mail = QRect(parts[2].toInt(), parts[3].toInt(), parts[4].toInt(),
                                 parts[5].toInt());
                else if (parts.size() == 2 && parts[0] == QLatin1String("ready"))
                    window = parts[1].toULongLong();
            }
        }
        QThread::msleep(500);
    }
    ~GtkForm() {
        process.kill();
        process.waitForFinished(3000);
    }
    GtkForm(const GtkForm&) = delete;
    GtkForm& operator=(const GtkForm&) = delete;

    QProcess process;
    WindowId window = 0;
    QRect mail; // the e-mail label: pressing it changes nothing
};

} // namespace klavoro::bench
