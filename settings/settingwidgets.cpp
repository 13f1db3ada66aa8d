#include "settings/settingwidgets.h"

#include "capture/drawing.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QWidget>

namespace klavoro {

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text, const QString& tip) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(tip);
    return box;
}

void setItems(QComboBox* box, const QStringList& items) {
    box->clear();
    box->addItems(items);
}

void showText(QComboBox* box, const QString& text) {
    const int index = box->findText(text, Qt::MatchExactly);
    if (index >= 0) {
        box->setCurrentIndex(index);
        if (box->isEditable()) box->setEditText(text);
        return;
    }
    if (box->isEditable()) {
        box->setCurrentIndex(-1);
        box->setEditText(text);
        return;
    }
    box->addItem(text);
    box->setCurrentIndex(box->count() - 1);
}

void setBackColour(QWidget* button, qint32 bgr) {
    // Without a border of its own the style paints its gradient over the colour.
    button->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #808080; "
                                         "padding: 4px 10px;")
                              .arg(colourFromBgr(bgr).name()));
}

qint32 bgrOf(const QColor& colour) {
    return qint32(colour.red()) | qint32(colour.green()) << 8 | qint32(colour.blue()) << 16;
}

QValidator::State HotKeyValidator::validate(QString& input, int& pos) const {
    input = input.toUpper();
    if (input.isEmpty()) return Acceptable;
    if (input.size() > 1) return Invalid;
    const QChar c = input[0];
    (void)pos;
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? Acceptable : Invalid;
}

} // namespace klavoro
