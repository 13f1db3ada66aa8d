#pragma once

#include <QString>
#include <QStringList>
#include <QValidator>

class QCheckBox;
class QComboBox;
class QWidget;

namespace klavoro {

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text,
                    const QString& tip = QString());

// Fills a list and shows `text` in it: the item of that text, or, for a
// value the list lacks (a hand-edited Conf.txt), that text as an extra
// item, so that the value is shown and kept.
void setItems(QComboBox* box, const QStringList& items);
void showText(QComboBox* box, const QString& text);

// Back colour of a button, blue-green-red packed as the settings hold colours.
void setBackColour(QWidget* button, qint32 bgr);
qint32 bgrOf(const QColor& colour);

// One letter or digit, in upper case: what a Ctrl+Shift hot key can be.
class HotKeyValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

} // namespace klavoro
