#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QString>

namespace klavoro {

// A character file (*.kchar, JSON in UTF-8): the character drawn from shapes
// grouped in parts, and animations as key frames that move, turn and scale
// those parts. Nothing in it is a picture, so it stays small and editable.
//
// {"format": "klavoro-character 1", "name": "...", "width": 120, "height": 150,
//  "parts": [{"id": "body", "pivot": [x, y], "shapes": [
//      {"type": "ellipse" | "rect" | "polygon" | "line", "rect": [x, y, w, h],
//       "points": [[x, y], ...], "fill": "#rrggbb", "stroke": "#rrggbb", "width": 2}]}],
//  "animations": {"Wave": [{"ms": 200, "arm": {"rotate": -50, "dx": 0, "dy": 0, "scale": 1}}]}}
struct CharacterShape {
    enum Kind { Ellipse, Rect, Polygon, Line } kind = Ellipse;
    QRectF rect;
    QPolygonF points;
    QColor fill;   // invalid: not filled
    QColor stroke; // invalid: no outline
    double strokeWidth = 1.5;
};

struct CharacterPart {
    QString id;
    QPointF pivot;
    QList<CharacterShape> shapes;
};

// Where a part stands in one frame.
struct PartPose {
    double dx = 0, dy = 0, rotate = 0, scale = 1;
    bool operator==(const PartPose&) const = default;
};
using Pose = QHash<QString, PartPose>;

struct KeyFrame {
    int ms = 0; // time to reach this pose from the previous one
    Pose pose;
};

struct CharacterModel {
    QString name;
    QSize size;
    QList<CharacterPart> parts;
    QHash<QString, QList<KeyFrame>> animations;

    bool hasAnimation(const QString& name) const { return animations.contains(name); }
    // Total length of an animation in ms (0 when it does not exist).
    int duration(const QString& animation) const;
    // The pose `elapsedMs` into an animation: key frames interpolated linearly,
    // starting from the rest pose; past the end, the rest pose again.
    Pose poseAt(const QString& animation, int elapsedMs) const;
    // The character drawn in a pose, transparent around it.
    QImage render(const Pose& pose) const;
};

// Reads a character file. On failure `error` says why and the model is empty.
CharacterModel readCharacterFile(const QString& path, QString* error = nullptr);
CharacterModel parseCharacter(const QByteArray& json, QString* error = nullptr);

} // namespace klavoro
