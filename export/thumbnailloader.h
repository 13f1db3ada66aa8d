#pragma once

#include "export/thumbnails.h"

#include <QCache>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QThreadPool>

#include <deque>
#include <functional>

namespace klavoro {

// The thumbnails of the strip, made on demand on worker threads: a request
// makes the thumbnail file when it is missing (overwrite off), reads it scaled
// into the display size and reports it with `ready`, a queued signal on the
// loader's own thread. Nothing here ever waits for a worker except the
// destructor.
class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    enum class State { Unknown, Pending, Ready, Broken };

    explicit ThumbnailLoader(QObject* parent = nullptr);
    ~ThumbnailLoader() override;

    // Changing any of these forgets every thumbnail read so far.
    void setFolder(const QString& folder); // with a trailing separator
    void setBox(const ThumbnailBox& box);
    void setDisplaySize(QSize size);
    QString folder() const { return m_folder; }

    State state(const QString& imageName) const;
    // Null unless the state is Ready.
    QImage image(const QString& imageName) const;

    // Queues the thumbnail unless it is known or queued already.
    void request(const QString& imageName);
    // Makes the thumbnail again from its image (after the image changed).
    void refresh(const QString& imageName);
    // Forgets the requests no worker has started (the strip scrolled on).
    void dropQueued();
    // Forgets everything read so far.
    void clear() { clear(nullptr); }

    int requestsMade() const { return m_requestsMade; }
    bool isIdle() const;

signals:
    void ready(const QString& imageName);

private:
    struct Job {
        QString name;
        bool overwrite = false;
    };
    struct Result {
        QImage image; // null: the thumbnail could not be made or read
    };
    void enqueue(const QString& name, bool overwrite);
    void runOne();
    void finish(quint64 epoch, const QString& name, const QImage& image);
    // Applies a settings change under the lock the workers read them with.
    void clear(const std::function<void()>& change);

    // Written on the owner's thread under m_mutex, read by workers under it.
    QString m_folder;
    ThumbnailBox m_box;
    QSize m_display{84, 63};
    quint64 m_epoch = 0; // settings generation: results of older ones are dropped
    QCache<QString, Result> m_cache;
    QSet<QString> m_pending; // queued or running
    int m_requestsMade = 0;

    mutable QMutex m_mutex; // guards m_queue and the settings above
    std::deque<Job> m_queue;
    QThreadPool m_pool;
};

} // namespace klavoro
