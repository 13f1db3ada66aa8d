#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace klavoro::test {

// The capture folder a recording of `count` steps leaves behind: step i has
// the image stepName(i), a JPEG of one colour (stepColour(i)), the sentence
// stepSentence(i), an unmarked copy in NO_RECT, a thumbnail, and OpList.txt
// in the folder and in NO_RECT.
QString stepName(int i);
QString stepSentence(int i);
QColor stepColour(int i);
// `folder` ends with '/'; `checked` steps carry the check mark.
void makeStepFolder(const QString& folder, int count, const QList<int>& checked = {});
// A long recording made fast: every step's image (and thumbnail, when asked)
// is a hard link to one tiny JPEG; the steps are named longStepName(i) and
// say stepSentence(i).
QString longStepName(int i);
void makeLongStepFolder(const QString& folder, int count, bool thumbnails);

// The step lines of folder + "OpList.txt" without the header; empty when the
// file is missing.
QStringList opListLines(const QString& folder);
// Field `k` of every step line.
QStringList opListField(const QString& folder, int k);
// The header's current step number.
int opListCurrentStep(const QString& folder);

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
// Conf.txt of a program folder: the settings that keep a test quiet and fast
// (no playback character, short play span) and `extra` lines.
void writeConf(const QString& home, const QStringList& extra = {});
// A line "key = value" of Conf.txt (the value without comment), or a null string.
QString confValue(const QString& home, const QString& key);

// Files below `folder` (relative paths, sorted), for before/after comparisons.
QStringList filesBelow(const QString& folder);

// Whether two colours are alike within what JPEG and scaling change.
bool similarColour(const QColor& a, const QColor& b, int tolerance = 24);

} // namespace klavoro::test
