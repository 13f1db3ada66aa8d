#pragma once
// Scripted sessions on real applications from Debian: each click written
// down beside the sentence a manual writer expects. Shared by the corpus
// benchmark (bench/corpus.cpp) and its smaller version among the desktop
// tests.
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

namespace klavoro::corpus {

// Where an act takes place: an element of the application found by its
// role number (the design's numbering) and name, a point inside it given
// as fractions of its size.
struct Target {
    int role = 0;
    QString name;      // exact, after trimming; empty: any name
    double fx = 0.5;   // 0 left edge .. 1 right edge
    double fy = 0.5;
    int nth = 0;       // the n-th match in reading order
};

struct Act {
    enum Kind { Click, RightClick, Drag, RightDrag, Type, Key };
    Kind kind = Click;
    Target at;
    Target to;           // the end of a drag
    QString text;        // typed (ASCII) for Type; the virtual key in text[0] for Key
    // The sentence of the step the act makes; for a drag the sentence of
    // its drag step (the click step at its press is `pressSentence`).
    QString sentence;
    QString pressSentence;
    // The act's step shows a visible change at the press (a menu opening,
    // a field taking the focus): its picture tells before from after.
    bool visible = true;
    int settleMs = 400; // what the application needs to react
};

struct App {
    QString name;    // for the table
    QString toolkit; // "GTK 3", "GTK 4", "Qt 5", "Chromium"
    QString program;
    QStringList arguments;
    QStringList environment; // NAME=value added to the test desktop's
    QString title;           // part of the window title to wait for
    QList<Act> acts;
};

// The whole corpus; `small` is the version the tests run.
QList<App> corpusApps(bool small);

// The GTK 3 editor's settings dialog alone: its notebook's tabs clicked,
// dragged across and clicked on their padding.
App notebookTabsGtk3();

} // namespace klavoro::corpus
