#pragma once

#include "tests/corpus/corpus.h"

#include <QList>
#include <QString>

namespace klavoro::corpus {

struct Options {
    QString program;        // the klavoro executable
    bool instant = true;    // press and release in one instant; else held `holdMs`
    int holdMs = 100;
    bool busy = false;      // the other core kept busy meanwhile
    bool verbose = false;   // each act on stderr
    bool redact = true;     // personal data boxed, as by default
    QString keepFolder;     // copy the capture folder here (empty: not kept)
};

// What became of one act.
struct Outcome {
    QString app;
    QString expected;
    QString got;       // the step's sentence; empty when it was lost
    bool lost = false; // no step came for it
    bool drag = false;
    bool dragRecorded = false;
    // The picture: measurable when the application visibly changed.
    bool measurable = false;
    bool atPress = false;
    double pressToStepMs = -1; // press to the step's image on disk
};

struct Summary {
    int acts = 0, right = 0, measurable = 0, atPress = 0, lost = 0, drags = 0, dragsRecorded = 0;
    double medianMs = 0, p99Ms = 0;
    QString table() const; // one line
};

class Runner {
public:
    explicit Runner(Options options) : m_options(std::move(options)) {}
    // Runs every app's acts under one recording; false with error() when the
    // program or an application could not be started.
    bool run(const QList<App>& apps);
    const QList<Outcome>& outcomes() const { return m_outcomes; }
    QString error() const { return m_error; }
    Summary summary() const;
    // The applications of the corpus that are not installed.
    static QStringList missingPrograms(const QList<App>& apps);

private:
    Options m_options;
    QList<Outcome> m_outcomes;
    QString m_error;
};

} // namespace klavoro::corpus
