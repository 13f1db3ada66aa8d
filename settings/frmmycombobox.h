#pragma once

#include <QFrame>
#include <QPointer>
#include <QStringList>

class QListWidget;

namespace klavoro {

// A drop-down list window for a text box: shown under the box, a pick is
// handed back and the list closes. A press outside closes it; a press on the
// button that opened it closes it without opening it again.
class frmMyComboBox : public QFrame {
    Q_OBJECT
public:
    explicit frmMyComboBox(QWidget* parent = nullptr);

    // `rows` items are visible at once; the item equal to `current` is selected.
    void showUnder(QWidget* box, QWidget* button, const QStringList& items, int rows,
                   const QString& current);

    QListWidget* lstItems = nullptr;

signals:
    void picked(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void pick();
    QPointer<QWidget> m_button;
};

} // namespace klavoro
