#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

namespace klavoro {

// The 16-digit stamp YYYYMMDDhhmmsscc of a local time (cc = hundredths).
QString timeStamp(const QDateTime& local);
QString timeStampNow();

// The date-time of a 16-digit name's first 14 digits; kZeroDateTime when the
// name does not parse.
QDateTime timeOfImageName(const QString& name);
extern const QDateTime kZeroDateTime; // 1899-12-30 00:00:00

// "jpg", "png", "gif" or "bmp" for the `save file format` value.
QString imageExtensionFor(int saveFileFormat);

// File-name character escaping and its inverse. unescapeName(escapeName(s)) == s.
QString escapeName(const QString& text);
QString unescapeName(const QString& text);

// Hands out image names that are never used twice: a name already handed out
// in this run, or already used by a file in the folder, is advanced by one
// hundredth of a second until it is free.
class ImageNamer {
public:
    QString makeName(const QString& captureFolder);
    QString makeName(const QString& captureFolder, const QDateTime& now);

private:
    bool isTaken(const QString& folder, const QString& name) const;
    QSet<QString> m_handedOut;
};

} // namespace klavoro
