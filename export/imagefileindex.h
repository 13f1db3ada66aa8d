#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace klavoro {

// The files of a capture folder, listed once, answering as findImageFile does
// (for each file-name form of the image name: the usual extensions first, then
// the first form + "." + anything, then the bare form). An export asks for every step: one listing
// instead of a stat or a listing per step keeps 15000 steps fast.
class ImageFileIndex {
public:
    explicit ImageFileIndex(const QString& folder);

    // The file name (without folder) of the image `imageName`; empty when none
    // exists or the name could leave the folder.
    QString find(const QString& imageName) const;

private:
    // Sorted on the first lookup that needs the order; most lists never do.
    mutable QStringList m_files;
    mutable bool m_sorted = false;
    QSet<QString> m_names;
};

} // namespace klavoro
