#include "capture/imagedecoder.h"

#include "capture/imagecomplete.h"
#include "capture/imageload.h"
#include "store/blanks.h"
#include "store/capturefolder.h"
#include "store/viewerwidth.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMetaObject>

namespace klavoro {
namespace {
// The current picture and its two neighbours, within a memory budget (three
// full-HD captures) that a few very large pictures cannot exceed.
constexpr size_t kKeptImages = 3;
constexpr qsizetype kKeptBytes = 3 * 1920 * 1080 * 4;

QImage asDrawable(QImage image) {
    if (image.isNull()) return image;
    const QImage::Format f =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    return image.format() == f ? image : image.convertToFormat(f);
}
} // namespace

ImageDecoder::ImageDecoder(QObject* parent) : QObject(parent) {
    qRegisterMetaType<DecodedImage>();
    // One thread for the request, one for decoding the neighbours ahead.
    m_pool.setMaxThreadCount(2);
}

ImageDecoder::~ImageDecoder() {
    {
        QMutexLocker lock(&m_mutex);
        m_queue.clear();
        m_wanted = ~quint64(0);
    }
    m_pool.waitForDone();
}

QImage ImageDecoder::scaledForDisplay(const QImage& full, int displayWidth) {
    if (full.isNull()) return {};
    const QSize size = displaySize(displayWidth, full.size());
    if (size.isEmpty() || size == full.size()) return full;
    return asDrawable(full.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

quint64 ImageDecoder::requestStep(const QString& folder, const QString& imageName,
                                  int displayWidth) {
    return enqueue(
        {++m_generation, folder, trimBlanks(imageName).toString(), QString(), displayWidth});
}

quint64 ImageDecoder::requestFile(const QString& path, int displayWidth) {
    return enqueue({++m_generation, QString(), QString(), path, displayWidth});
}

void ImageDecoder::prefetchSteps(const QString& folder, const QStringList& imageNames) {
    for (const QString& name : imageNames)
        enqueue({0, folder, trimBlanks(name).toString(), QString(), 0});
}

quint64 ImageDecoder::cancel() {
    QMutexLocker lock(&m_mutex);
    m_wanted = ++m_generation;
    std::erase_if(m_queue, [](const Job& j) { return j.generation != 0; });
    return m_generation;
}

quint64 ImageDecoder::enqueue(Job job) {
    {
        QMutexLocker lock(&m_mutex);
        if (job.generation != 0) {
            m_wanted = job.generation;
            // Older requests and prefetches would only delay this one.
            m_queue.clear();
            m_queue.push_front(std::move(job));
        } else {
            m_queue.push_back(std::move(job));
        }
    }
    m_pool.start([this] { runOne(); });
    return m_generation;
}

bool ImageDecoder::stale(quint64 generation) const {
    QMutexLocker lock(&m_mutex);
    return generation != 0 && generation != m_wanted;
}

std::optional<QImage> ImageDecoder::keptImage(const QString& path) {
    const QFileInfo info(path);
    QMutexLocker lock(&m_mutex);
    for (auto it = m_kept.begin(); it != m_kept.end(); ++it) {
        if (it->path != path) continue;
        if (it->size != info.size() || it->modified != info.lastModified().toMSecsSinceEpoch()) {
            m_kept.erase(it);
            return std::nullopt;
        }
        m_kept.splice(m_kept.begin(), m_kept, it);
        return it->image;
    }
    return std::nullopt;
}

void ImageDecoder::keep(const QString& path, const QImage& image) {
    if (path.isEmpty() || image.isNull()) return;
    const QFileInfo info(path);
    QMutexLocker lock(&m_mutex);
    std::erase_if(m_kept, [&](const Kept& k) { return k.path == path; });
    m_kept.push_front({path, info.size(), info.lastModified().toMSecsSinceEpoch(), image});
    qsizetype bytes = 0;
    auto it = m_kept.begin();
    for (size_t n = 0; it != m_kept.end(); ++it, ++n) {
        bytes += it->image.sizeInBytes();
        if (n > 0 && (n >= kKeptImages || bytes > kKeptBytes)) break;
    }
    m_kept.erase(it, m_kept.end());
}

void ImageDecoder::forget(const QString& path) {
    QMutexLocker lock(&m_mutex);
    std::erase_if(m_kept, [&](const Kept& k) { return k.path == path; });
}

QImage ImageDecoder::fullImage(const QString& path) {
    if (path.isEmpty()) return {};
    if (auto kept = keptImage(path)) return *kept;
    QImage image = asDrawable(loadImageFile(path));
    keep(path, image);
    return image;
}

void ImageDecoder::post(quint64 generation, const DecodedImage& image) {
    if (generation == 0 || stale(generation)) return;
    QMetaObject::invokeMethod(
        this,
        [this, generation, image] {
            if (generation == m_generation) emit decoded(generation, image);
        },
        Qt::QueuedConnection);
}

void ImageDecoder::runOne() {
    // Requests first; at most one prefetch at a time, on the other thread, so
    // that a request never waits behind a neighbour's decode.
    for (;;) {
        Job job;
        {
            QMutexLocker lock(&m_mutex);
            auto it = std::find_if(m_queue.begin(), m_queue.end(),
                                   [](const Job& j) { return j.generation != 0; });
            if (it == m_queue.end()) {
                if (m_prefetching || m_queue.empty()) return;
                it = m_queue.begin();
                m_prefetching = true;
            }
            job = std::move(*it);
            m_queue.erase(it);
            if (job.generation == 0) m_prefetchKey = keyOf(job);
        }
        decode(job);
        if (job.generation == 0) {
            QMutexLocker lock(&m_mutex);
            m_prefetching = false;
            m_prefetchKey.clear();
            m_prefetchDone.wakeAll();
        }
    }
}

QString ImageDecoder::keyOf(const Job& job) {
    return job.path.isEmpty() ? job.folder + job.imageName : job.path;
}

void ImageDecoder::decode(const Job& job) {
    if (job.generation != 0) {
        // The neighbour being decoded ahead is the one asked for: wait for it
        // rather than decode the same picture twice at once.
        QMutexLocker lock(&m_mutex);
        const QString key = keyOf(job);
        while (m_prefetching && m_prefetchKey == key)
            m_prefetchDone.wait(&m_mutex);
    }
    if (stale(job.generation)) return;
    DecodedImage d;
    d.path = job.path.isEmpty() ? findImageFile(job.folder, job.imageName) : job.path;
    if (std::optional<QImage> kept = keptImage(d.path)) {
        if (job.generation == 0) return;
        d.full = *kept;
    } else if (!d.path.isEmpty() && isCompleteImageFile(d.path)) {
        QImageReader reader(d.path);
        reader.setAutoTransform(false);
        d.actual = reader.size();
        const QSize shown = displaySize(job.displayWidth, d.actual);
        // A JPEG decodes at a half, quarter or eighth of its size in a fraction
        // of the time: show that first, the full picture follows. Nearer its
        // own size the decoder would decode it whole anyway.
        if (job.generation != 0 && !shown.isEmpty() && shown.width() * 2 <= d.actual.width() &&
            qint64(d.actual.width()) * d.actual.height() <= kMaxImagePixels &&
            reader.format() == "jpeg") {
            reader.setScaledSize(shown);
            d.display = asDrawable(reader.read());
            if (!d.display.isNull()) post(job.generation, d);
        }
        if (stale(job.generation)) return;
        d.full = asDrawable(loadImageFile(d.path));
        keep(d.path, d.full);
    }
    // Otherwise missing or cut off: the viewer stays empty.
    if (job.generation == 0) return;
    d.actual = d.full.size();
    d.display = scaledForDisplay(d.full, job.displayWidth);
    d.final = true;
    post(job.generation, d);
}

} // namespace klavoro
