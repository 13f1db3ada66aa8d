#pragma once

#include <QFrame>

class QLabel;
class QPushButton;
class QTimer;

namespace klavoro {

// The pop-up message window in the lower-right corner of the screen: one
// short notice that closes itself when its countdown runs out, when the
// pointer moves over it or when "×" is clicked. It never takes the focus.
class frmPopup : public QFrame {
    Q_OBJECT
public:
    explicit frmPopup(QWidget* parent = nullptr);

    // `colour` is blue-green-red; a negative value gives the default blue.
    // The window goes into the lower-right corner of `monitor` (the primary
    // screen when it is null).
    void load(const QString& text, qint32 colour, int countdownMs, const QRect& monitor = {});
    void unload();
    // The display time left, in milliseconds.
    int countdown() const { return m_countdown; }

    static constexpr int kTickMs = 100;
    static constexpr qint32 kDefaultColour = 0xFF0000; // blue

    QLabel* lblMsg = nullptr;
    QPushButton* cmdClose = nullptr;


protected:
    void enterEvent(QEnterEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void tick();
    void placeInCorner(const QRect& monitor);

    QTimer* m_timer;
    int m_countdown = 0;
};

} // namespace klavoro
