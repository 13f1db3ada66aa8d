#pragma once

#include <QObject>
#include <QString>

namespace klavoro {

// The run mode: what the program is doing. Every command may read it; the
// recording loop and playback end when it no longer holds their value.
inline const QString kRunIdle;
inline const QString kRunGo = QStringLiteral("Go");
inline const QString kRunPlay = QStringLiteral("Play");
inline const QString kRunReStart = QStringLiteral("ReStart");
inline const QString kRunEnd = QStringLiteral("End");

class RunMode : public QObject {
    Q_OBJECT
public:
    QString text() const { return m_text; }
    bool isIdle() const { return m_text.isEmpty(); }
    bool is(const QString& mode) const { return m_text == mode; }
    void set(const QString& mode);

signals:
    void changed(const QString& mode);

private:
    QString m_text;
};

// The one run mode of the process.
RunMode& runMode();

} // namespace klavoro
