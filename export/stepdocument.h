#pragma once

#include <QHash>
#include <QTextDocument>
#include <QTextFormat>

namespace klavoro {

// A block property: the paragraph stays on the page of the next one (a step's
// heading with its picture). The RTF writer writes it as \keepn.
inline constexpr int kKeepWithNext = QTextFormat::UserProperty + 1;

// The document of the rich-text window. Step pictures are referred to by their
// file's URL and decoded only when they are drawn, at the size they are shown,
// so that building a thousand steps does not decode a thousand pictures. Its
// text is set in an installed Japanese font at 10.5 points.
class StepDocument : public QTextDocument {
    Q_OBJECT
public:
    explicit StepDocument(QObject* parent = nullptr);

    // The name an image format uses for the picture file `path`, shown at `size`.
    QString addPictureFile(const QString& path, QSize size);
    // The file behind an image name; empty for pictures that are not files.
    QString pictureFile(const QString& imageName) const;

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QHash<QString, QSize> m_shownSize;
};

} // namespace klavoro
