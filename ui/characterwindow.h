#pragma once

#include "platform/character.h"
#include "playback/characterfile.h"

#include <QElapsedTimer>
#include <QFont>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class QPropertyAnimation;

namespace klavoro {

// The thought balloon above the character.
class BalloonWindow : public QWidget {
    Q_OBJECT
public:
    BalloonWindow();
    void setText(const QString& text);
    QString text() const { return m_text; }
    void setBalloonFont(const QFont& font);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};

// The character itself: a frameless, top-most window that lets clicks
// through and shows only the character's own pixels.
class CharacterWindow : public QWidget {
    Q_OBJECT
public:
    explicit CharacterWindow(CharacterModel model);
    const CharacterModel& model() const { return m_model; }
    void queueAnimation(const QString& name);
    bool isAnimating() const { return !m_current.isEmpty() || !m_queue.isEmpty(); }
    QString currentAnimation() const { return m_current; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void tick();

    CharacterModel m_model;
    QStringList m_queue;
    QString m_current;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QImage m_frame;
};

// A character on the desktop, made of the two windows.
class QtCharacter : public Character {
public:
    explicit QtCharacter(CharacterModel model);
    ~QtCharacter() override;

    QString name() const override;
    void setSoundEffectsOn(bool) override {} // our characters make no sound
    void setBalloonFont(const QString& family, int pointSize) override;
    void show() override;
    void hide() override;
    void think(const QString& text) override;
    bool play(const QString& animation) override;
    void moveTo(int x, int y) override;
    int left() const override;
    int top() const override;
    int width() const override;
    int height() const override;
    bool isVisible() const override;

    CharacterWindow* window() const { return m_window; }
    BalloonWindow* balloon() const { return m_balloon; }

private:
    void placeBalloon();

    CharacterWindow* m_window;
    BalloonWindow* m_balloon;
    QPropertyAnimation* m_glide = nullptr;
    bool m_hiding = false;
};

// The family to draw balloon text in: `family` when installed, otherwise an
// installed font that has Japanese.
QString balloonFontFamily(const QString& family);

} // namespace klavoro
