#pragma once

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QThreadPool>
#include <QWaitCondition>

#include <list>
#include <optional>

namespace klavoro {

// What the decoder reports for a request. A JPEG shown smaller than it is
// comes twice: first a quick picture at the display size, then the full one.
struct DecodedImage {
    QString path;   // empty when no file was found
    QSize actual;   // the picture's own size; empty for a missing or broken file
    QImage display; // the picture at the requested display width
    QImage full;    // null in the quick report
    bool final = false;
};

// Decodes step images on worker threads so that the window never waits for
// a large picture. Each request gets a generation; only the latest one is
// reported, so a slow decode can never replace a newer picture. A few recently
// decoded pictures are kept, for stepping back and forth through the list.
class ImageDecoder : public QObject {
    Q_OBJECT
public:
    explicit ImageDecoder(QObject* parent = nullptr);
    ~ImageDecoder() override;

    // The image of a step: the first file folder + name + ".*".
    quint64 requestStep(const QString& folder, const QString& imageName, int displayWidth);
    quint64 requestFile(const QString& path, int displayWidth);
    // Decodes into the kept pictures without reporting (the neighbours of a step).
    void prefetchSteps(const QString& folder, const QStringList& imageNames);
    // Forgets the current request; its results are not reported.
    quint64 cancel();
    quint64 generation() const { return m_generation; }

    // The full picture of `path`, from the kept ones or decoded now.
    QImage fullImage(const QString& path);
    // Drops a kept picture (its file changed).
    void forget(const QString& path);

    // Decoding and scaling as the worker does it, for callers on any thread.
    static QImage scaledForDisplay(const QImage& full, int displayWidth);

signals:
    void decoded(quint64 generation, const klavoro::DecodedImage& image);

private:
    struct Job {
        quint64 generation = 0; // 0: prefetch
        QString folder, imageName, path;
        int displayWidth = 0;
    };
    struct Kept {
        QString path;
        qint64 size = 0;
        qint64 modified = 0;
        QImage image;
    };
    quint64 enqueue(Job job);
    void runOne();
    void decode(const Job& job);
    static QString keyOf(const Job& job);
    void post(quint64 generation, const DecodedImage& image);
    bool stale(quint64 generation) const;
    std::optional<QImage> keptImage(const QString& path);
    void keep(const QString& path, const QImage& image);

    quint64 m_generation = 0; // the owner's latest request

    mutable QMutex m_mutex; // guards everything below
    quint64 m_wanted = 0;   // m_generation as the worker sees it
    std::list<Job> m_queue;
    bool m_prefetching = false; // a prefetch is being decoded
    QString m_prefetchKey;      // which one
    QWaitCondition m_prefetchDone;
    std::list<Kept> m_kept; // most recent first
    QThreadPool m_pool;
};

} // namespace klavoro

Q_DECLARE_METATYPE(klavoro::DecodedImage)
