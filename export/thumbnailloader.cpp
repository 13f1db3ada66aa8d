#include "export/thumbnailloader.h"

#include "capture/imageload.h"
#include "capture/imageprobe.h"
#include "store/blanks.h"
#include "store/capturefolder.h"

#include <QMetaObject>
#include <QThread>

namespace klavoro {
namespace {
// About a thousand panels at the default size; each entry costs its bytes.
constexpr qsizetype kCacheBytes = 16 * 1024 * 1024;

QImage readThumbnail(const QString& folder, const QString& name, bool overwrite,
                     const ThumbnailBox& box, QSize display) {
    makeThumbnail(folder, name, overwrite, box);
    const QString thumb = thumbnailPath(folder, name);
    if (thumb.isEmpty()) return {};
    const ImageSize size = probeImageSize(thumb, 0);
    if (size.type == ImageSize::Unknown || size.width <= 0 || size.height <= 0) return {};
    const QSize fitted = QSize(size.width, size.height).scaled(display, Qt::KeepAspectRatio);
    QImage image = loadImageFile(thumb, nullptr, fitted.isEmpty() ? QSize(1, 1) : fitted);
    if (image.isNull()) return {};
    // A format the painter draws without converting each time.
    return image.convertToFormat(QImage::Format_RGB32);
}
} // namespace

ThumbnailLoader::ThumbnailLoader(QObject* parent) : QObject(parent), m_cache(kCacheBytes) {
    // One core stays free for the window: it must never wait for thumbnails.
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
}

ThumbnailLoader::~ThumbnailLoader() {
    {
        QMutexLocker lock(&m_mutex);
        m_queue.clear();
    }
    m_pool.waitForDone();
}

void ThumbnailLoader::setFolder(const QString& folder) {
    if (folder == m_folder) return;
    clear([&] { m_folder = folder; });
}

void ThumbnailLoader::setBox(const ThumbnailBox& box) {
    if (box.width == m_box.width && box.height == m_box.height && box.textMag == m_box.textMag)
        return;
    clear([&] { m_box = box; });
}

void ThumbnailLoader::setDisplaySize(QSize size) {
    if (size == m_display) return;
    clear([&] { m_display = size; });
}

ThumbnailLoader::State ThumbnailLoader::state(const QString& imageName) const {
    const QString name = trimBlanks(imageName).toString();
    if (m_pending.contains(name)) return State::Pending;
    const Result* r = m_cache.object(name);
    if (!r) return State::Unknown;
    return r->image.isNull() ? State::Broken : State::Ready;
}

QImage ThumbnailLoader::image(const QString& imageName) const {
    const Result* r = m_cache.object(trimBlanks(imageName).toString());
    return r ? r->image : QImage();
}

void ThumbnailLoader::request(const QString& imageName) {
    const QString name = trimBlanks(imageName).toString();
    if (m_pending.contains(name) || m_cache.contains(name)) return;
    enqueue(name, false);
}

void ThumbnailLoader::refresh(const QString& imageName) {
    const QString name = trimBlanks(imageName).toString();
    m_cache.remove(name);
    {
        QMutexLocker lock(&m_mutex);
        // A queued plain request would only read the old file.
        std::erase_if(m_queue, [&](const Job& j) { return j.name == name; });
    }
    m_pending.remove(name);
    enqueue(name, true);
}

void ThumbnailLoader::enqueue(const QString& name, bool overwrite) {
    if (m_folder.isEmpty()) return;
    ++m_requestsMade;
    m_pending.insert(name);
    {
        QMutexLocker lock(&m_mutex);
        m_queue.push_back({name, overwrite});
    }
    m_pool.start([this] { runOne(); });
}

void ThumbnailLoader::runOne() {
    Job job;
    QString folder;
    ThumbnailBox box;
    QSize display;
    quint64 epoch;
    {
        QMutexLocker lock(&m_mutex);
        if (m_queue.empty()) return;
        job = m_queue.front();
        m_queue.pop_front();
        // Settings are only changed on the owner's thread under this lock.
        folder = m_folder;
        box = m_box;
        display = m_display;
        epoch = m_epoch;
    }
    const QImage image = readThumbnail(folder, job.name, job.overwrite, box, display);
    QMetaObject::invokeMethod(
        this, [this, epoch, name = job.name, image] { finish(epoch, name, image); },
        Qt::QueuedConnection);
}

void ThumbnailLoader::finish(quint64 epoch, const QString& name, const QImage& image) {
    if (epoch != m_epoch) return; // made for a folder or size no longer shown
    m_pending.remove(name);
    const qsizetype cost = std::max<qsizetype>(1, image.sizeInBytes());
    m_cache.insert(name, new Result{image}, cost);
    emit ready(name);
}

void ThumbnailLoader::dropQueued() {
    QMutexLocker lock(&m_mutex);
    for (const Job& j : m_queue)
        m_pending.remove(j.name);
    m_queue.clear();
}

void ThumbnailLoader::clear(const std::function<void()>& change) {
    QMutexLocker lock(&m_mutex);
    if (change) change();
    ++m_epoch;
    m_queue.clear();
    m_pending.clear();
    m_cache.clear();
}

bool ThumbnailLoader::isIdle() const {
    return m_pending.isEmpty();
}

} // namespace klavoro
