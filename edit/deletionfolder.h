#pragma once

#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

namespace klavoro {

// The files of one step: the image, its NO_RECT copy and its thumbnail, each
// empty when it does not exist. All of them lie inside the capture folder.
struct StepFiles {
    QString image, noRect, thumbnail;
    QStringList existing() const;
};
StepFiles stepFilesOf(const QString& folder, const QString& imageName);

// The image names of a set of steps, to tell whether one of them still uses
// a file: a name may be stored with or without its extension.
class ListedNames {
public:
    void add(const QString& imageName);
    // An image or NO_RECT file name ("x.jpg").
    bool usesFile(const QString& fileName) const;
    // A thumbnail file name ("Thumb_x.jpg").
    bool usesThumbnail(const QString& fileName) const;

private:
    QSet<QString> m_names, m_bases;
};

// The scratch folder "tmp_del" that the files of deleted steps pass through:
// moved in first, removed once the list on disk no longer names them, so that
// nothing is lost when the list cannot be saved.
class DeletionFolder {
public:
    explicit DeletionFolder(const QString& captureFolder);

    QString path() const { return m_path; }

    // Creates the folder. A folder left by an interrupted run is emptied first:
    // the files that a listed step still uses go back where they came from.
    // False with the reason when the folder cannot be made.
    bool create(const ListedNames& listed, QString* error);

    // Moves the files in as one unit: when one cannot be moved, those already
    // moved go back and the ones that failed are added to `failed`.
    bool moveIn(const QStringList& files, QStringList* failed);

    // Puts every moved file back; the files that could not be put back stay
    // in the folder and are returned.
    QStringList restoreAll();

    // Removes the folder with its content (errors ignored); kept when a file
    // of a kept step could not leave it.
    void remove();

private:
    QString target(const QString& file) const;

    QString m_folder;                       // the capture folder, with a trailing separator
    QString m_path;                         // its tmp_del, with a trailing separator
    QList<QPair<QString, QString>> m_moved; // original, moved-to
    QStringList m_stuck;                    // in the folder, but not to be removed
};

} // namespace klavoro
