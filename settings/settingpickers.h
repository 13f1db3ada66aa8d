#pragma once

#include <QColor>
#include <QString>

class QWidget;

namespace klavoro {

// The file, colour and folder dialogs of the settings dialog; tests answer
// them instead of the user. Every function gives an empty (or invalid) value
// when the user cancels.
class SettingPickers {
public:
    virtual ~SettingPickers() = default;
    // A program: executables, or all files.
    virtual QString chooseProgram(QWidget* parent, const QString& start) = 0;
    // A cursor file (*.cur) in `folder`.
    virtual QString chooseCursor(QWidget* parent, const QString& folder) = 0;
    virtual QColor chooseColour(QWidget* parent, const QColor& start) = 0;
    virtual QString chooseFolder(QWidget* parent, const QString& title, const QString& start) = 0;
};

class QtSettingPickers : public SettingPickers {
public:
    QString chooseProgram(QWidget* parent, const QString& start) override;
    QString chooseCursor(QWidget* parent, const QString& folder) override;
    QColor chooseColour(QWidget* parent, const QColor& start) override;
    QString chooseFolder(QWidget* parent, const QString& title, const QString& start) override;
};

} // namespace klavoro
