#pragma once

#include <QImage>
#include <QObject>
#include <QTimer>

#include <functional>

namespace klavoro {

class StepList;

// Step lines as the clipboard takes them: step `selected` alone (-1: none
// selected gives the empty text), or with 0 every line followed by CR LF.
QString stepsAsText(const StepList& steps, int selected);

// Puts the shown image on the clipboard 300 ms after a button release on the
// viewer ("pic"); a double click in between cancels it, so opening the image
// editor copies nothing. A press on a thumbnail ("thumb") only empties the
// clipboard.
class ClipboardTimer : public QObject {
    Q_OBJECT
public:
    ClipboardTimer(std::function<QImage()> shownImage,
                   std::function<void(const QString&)> setStatus, QObject* parent = nullptr);
    void start(const QString& tag);
    void cancel();
    bool isActive() const { return m_timer.isActive(); }

private:
    void fire();

    std::function<QImage()> m_shownImage;
    std::function<void(const QString&)> m_setStatus;
    QTimer m_timer;
    QString m_tag;
};

} // namespace klavoro
