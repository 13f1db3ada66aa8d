#pragma once

#include <QFrame>

class QLabel;
class QTimer;

namespace klavoro {

// The progress window: a top-most box with one message that long operations
// show, update and close. It never takes the focus from the user's work.
class frmSplash : public QFrame {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    // Shows the window with `text`; with `displayMs` > 0 it closes itself
    // after that time.
    void load(const QString& text, int displayMs);
    // Changes the message of the showing window (its close timer keeps running).
    void setMessage(const QString& text);
    QString message() const;
    void unload();

    // label top + (line breaks + 1) x 500 + 200 twips; a lone CR or LF
    // counts as a break too, as texts from Qt carry plain LF.
    static int heightTwips(const QString& text);
    static int lineCount(const QString& text);

    QLabel* lblMsg = nullptr;


private:
    void fitToText(const QString& text);

    QTimer* m_closeTimer;
    QString m_message;
};

// Twips as the window sizes are given, 15 to the pixel.
inline int twipsToPixels(int twips) {
    return (twips * 2 + 15) / 30;
}

} // namespace klavoro
