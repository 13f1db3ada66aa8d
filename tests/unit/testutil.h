#pragma once

#include "store/dialogs.h"
#include "store/programfolder.h"
#include "store/settings.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace klavoro::test {

// A scratch program folder: KLAVORO_HOME points at it and the settings are
// back to their defaults for the duration of a test.
class ScratchHome {
public:
    ScratchHome() {
        qputenv(kProgramFolderEnv, dir.path().toLocal8Bit());
        resetProgramFolder();
        conf() = Settings();
    }
    ~ScratchHome() {
        qunsetenv(kProgramFolderEnv);
        resetProgramFolder();
        conf() = Settings();
    }
    QString path(const QString& rel = QString()) const { return dir.path() + '/' + rel; }
    QTemporaryDir dir;
};

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A path as libzip takes it: the file system's bytes, on Windows UTF-8.
inline QByteArray zipPath(const QString& path) {
#ifdef _WIN32
    return path.toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

// Answers for the user and remembers what was shown.
class FakeDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title) override {
        messages << text;
        titles << title;
    }
    bool askYesNo(const QString& text, const QString& title, bool defaultYes) override {
        questions << text;
        titles << title;
        lastDefaultYes = defaultYes;
        return answer;
    }
    Answer askYesNoCancel(const QString& text, const QString& title, Answer preselected) override {
        questions << text;
        titles << title;
        lastPreselected = preselected;
        return answer3;
    }
    bool askOkCancel(const QString& text, const QString& title) override {
        questions << text;
        titles << title;
        return answerOk;
    }
    QStringList messages, questions, titles;
    bool answer = true;
    bool lastDefaultYes = false;
    Answer answer3 = Answer::Cancel;
    bool answerOk = true;
    Answer lastPreselected = Answer::Cancel;
};

} // namespace klavoro::test
