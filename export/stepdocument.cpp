#include "export/stepdocument.h"

#include "capture/imageload.h"
#include "export/documentlayout.h"

#include <QImage>
#include <QUrl>

namespace klavoro {

StepDocument::StepDocument(QObject* parent) : QTextDocument(parent) {
    // Not the application's font: on a bare desktop that is a 9-point
    // "Sans Serif", which no word processor knows.
    QFont font = defaultFont();
    const QString family = installedJapaneseFamily();
    if (!family.isEmpty()) font.setFamily(family);
    font.setPointSizeF(page::kBodySize);
    setDefaultFont(font);
}

QString StepDocument::addPictureFile(const QString& path, QSize size) {
    const QString name = QUrl::fromLocalFile(path).toString();
    m_shownSize.insert(name, size);
    return name;
}

QString StepDocument::pictureFile(const QString& imageName) const {
    if (!m_shownSize.contains(imageName)) return {};
    return QUrl(imageName).toLocalFile();
}

QVariant StepDocument::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::ImageResource) {
        const auto it = m_shownSize.constFind(name.toString());
        if (it != m_shownSize.constEnd()) {
            // A file that went missing since the build is drawn as a grey box.
            QImage image = loadImageFile(name.toLocalFile(), nullptr, it.value());
            if (image.isNull()) {
                image = QImage(it.value(), QImage::Format_RGB32);
                image.fill(Qt::lightGray);
            }
            // Kept, so that the picture is decoded once, not at every paint.
            addResource(type, name, image);
            return image;
        }
    }
    return QTextDocument::loadResource(type, name);
}

} // namespace klavoro
