#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace klavoro {

class Dialogs;
class OperationList;
class StepEditHost;
class StepList;

// A sentence as the editor shows it: the stored code-4 characters as line
// breaks ('\n', the editor's own).
QString sentenceForEditor(const QString& field);
// Editor text as a step stores it: every line break as code 4. A TAB would
// split the step line and code 3 would end the list's header, so they do
// not get in (a TAB becomes a blank).
QString sentenceForList(const QString& text);

// The editor's size is kept in twips; the screen counts 15 to the pixel.
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);

// Where the editor opens: its left edge at the sentence box, its top 20
// pixels below the pointer, or its bottom 20 pixels above it when it would
// otherwise leave the bottom of the screen.
QRect editorGeometry(QSize size, int sentenceLeft, QPoint pointer, const QRect& screen);

// Remembered for the rest of the run: the user said Yes to storing a changed
// text before moving on, so the editor stops asking.
struct MessageEditMemory {
    bool noMoreQuestions = false;
};

// One opening of the editor: the step it edits, the changed mark, storing and
// walking to the previous or next step.
class MessageEditSession {
public:
    MessageEditSession(StepList& steps, OperationList& opList, StepEditHost& host, Dialogs& dialogs,
                       MessageEditMemory& memory);

    int step() const { return m_step; }
    // The text to show for step n (the selected step when 0); clears the mark.
    QString load(int n = 0);
    bool isDirty() const { return m_dirty; }
    void setDirty(bool dirty) { m_dirty = dirty; }

    // Puts the text into the step's sentence field, keeping the other fields;
    // sets the message-edited flag when the line changed.
    void store(const QString& text);

    // "＜" (-1) and "＞" (+1). False when the editor stays where it is (first
    // or last step, or the user chose not to store); otherwise the text of the
    // new step is in `shown`.
    bool move(int delta, const QString& text, QString* shown);

private:
    StepList& m_steps;
    OperationList& m_opList;
    StepEditHost& m_host;
    Dialogs& m_dialogs;
    MessageEditMemory& m_memory;
    int m_step = 0;
    bool m_dirty = false;
};

} // namespace klavoro
