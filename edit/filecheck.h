#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace klavoro {

class StepList;

// The consistency check between a capture folder and the step list: which
// files of the folder (or of its Thumb folder) no step uses.
class FileCheck {
public:
    enum class Kind { Images, Thumbnails };

    // The trimmed image names of every step, taken once when the window opens.
    explicit FileCheck(const QStringList& imageNames);
    static QStringList imageNamesOf(const StepList& steps);

    // The folder a check looks at: the capture folder or its Thumb folder.
    static QString folderFor(Kind kind, const QString& captureFolder);

    // True when a step uses the file: its name without extension, or its full
    // name (lists built from images store that), matches exactly. Found by a
    // binary search over names sorted without regard to letter case.
    bool isUsed(Kind kind, const QString& fileName) const;

    // The files of `folder` that no step uses, in name order (OpList.txt in
    // any letter case never counts). `counter` sees the number of entries
    // looked at after every 100th.
    QStringList unusedFiles(Kind kind, const QString& folder,
                            const std::function<void(int)>& counter = {}) const;

private:
    bool contains(const QStringList& sorted, const QString& name) const;
    QStringList m_images;     // sorted as the hidden list keeps them
    QStringList m_thumbnails; // "Thumb_" + name, sorted the same way
};

// Deletes folder + name for each name (plain names only, never a pattern or a
// path). Returns the names whose files are still there.
QStringList deleteCheckedFiles(const QString& folder, const QStringList& names);

} // namespace klavoro
