#include "playback/characterfile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>

namespace klavoro {

namespace {

constexpr int kMaxSide = 1024; // a character bigger than this is not a character

QRectF readRect(const QJsonValue& v) {
    const QJsonArray a = v.toArray();
    return a.size() == 4
               ? QRectF(a[0].toDouble(), a[1].toDouble(), a[2].toDouble(), a[3].toDouble())
               : QRectF();
}

QPolygonF readPoints(const QJsonValue& v) {
    QPolygonF poly;
    for (const QJsonValue& p : v.toArray()) {
        const QJsonArray xy = p.toArray();
        if (xy.size() == 2) poly << QPointF(xy[0].toDouble(), xy[1].toDouble());
    }
    return poly;
}

QColor readColour(const QJsonValue& v) {
    const QString text = v.toString();
    return text.isEmpty() ? QColor() : QColor::fromString(text);
}

PartPose readPose(const QJsonObject& o) {
    PartPose p;
    p.dx = o.value(QStringLiteral("dx")).toDouble(0);
    p.dy = o.value(QStringLiteral("dy")).toDouble(0);
    p.rotate = o.value(QStringLiteral("rotate")).toDouble(0);
    p.scale = o.value(QStringLiteral("scale")).toDouble(1);
    return p;
}

PartPose mix(const PartPose& a, const PartPose& b, double t) {
    return {a.dx + (b.dx - a.dx) * t, a.dy + (b.dy - a.dy) * t,
            a.rotate + (b.rotate - a.rotate) * t, a.scale + (b.scale - a.scale) * t};
}

} // namespace

CharacterModel parseCharacter(const QByteArray& json, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return CharacterModel();
    };
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (!doc.isObject())
        return fail(QStringLiteral("not a character file: ") + parseError.errorString());
    const QJsonObject root = doc.object();
    if (root.value(QStringLiteral("format")).toString() != QLatin1String("klavoro-character 1"))
        return fail(QStringLiteral("unknown character format"));
    CharacterModel m;
    m.name = root.value(QStringLiteral("name")).toString();
    m.size = QSize(root.value(QStringLiteral("width")).toInt(),
                   root.value(QStringLiteral("height")).toInt());
    if (m.name.isEmpty()) return fail(QStringLiteral("the character has no name"));
    if (m.size.width() <= 0 || m.size.height() <= 0 || m.size.width() > kMaxSide ||
        m.size.height() > kMaxSide)
        return fail(QStringLiteral("bad character size"));
    for (const QJsonValue& pv : root.value(QStringLiteral("parts")).toArray()) {
        const QJsonObject po = pv.toObject();
        CharacterPart part;
        part.id = po.value(QStringLiteral("id")).toString();
        const QJsonArray pivot = po.value(QStringLiteral("pivot")).toArray();
        if (pivot.size() == 2) part.pivot = QPointF(pivot[0].toDouble(), pivot[1].toDouble());
        for (const QJsonValue& sv : po.value(QStringLiteral("shapes")).toArray()) {
            const QJsonObject so = sv.toObject();
            CharacterShape shape;
            const QString type = so.value(QStringLiteral("type")).toString();
            if (type == QLatin1String("ellipse"))
                shape.kind = CharacterShape::Ellipse;
            else if (type == QLatin1String("rect"))
                shape.kind = CharacterShape::Rect;
            else if (type == QLatin1String("polygon"))
                shape.kind = CharacterShape::Polygon;
            else if (type == QLatin1String("line"))
                shape.kind = CharacterShape::Line;
            else
                return fail(QStringLiteral("unknown shape: ") + type);
            shape.rect = readRect(so.value(QStringLiteral("rect")));
            shape.points = readPoints(so.value(QStringLiteral("points")));
            shape.fill = readColour(so.value(QStringLiteral("fill")));
            shape.stroke = readColour(so.value(QStringLiteral("stroke")));
            shape.strokeWidth = so.value(QStringLiteral("width")).toDouble(1.5);
            part.shapes << shape;
        }
        m.parts << part;
    }
    if (m.parts.isEmpty()) return fail(QStringLiteral("the character has no parts"));
    const QJsonObject anims = root.value(QStringLiteral("animations")).toObject();
    for (auto it = anims.begin(); it != anims.end(); ++it) {
        QList<KeyFrame> frames;
        for (const QJsonValue& fv : it.value().toArray()) {
            const QJsonObject fo = fv.toObject();
            KeyFrame frame;
            frame.ms = std::clamp(fo.value(QStringLiteral("ms")).toInt(), 0, 10000);
            for (auto p = fo.begin(); p != fo.end(); ++p)
                if (p.value().isObject())
                    frame.pose.insert(p.key(), readPose(p.value().toObject()));
            frames << frame;
        }
        m.animations.insert(it.key(), frames);
    }
    return m;
}

CharacterModel readCharacterFile(const QString& path, QString* error) {
    QFile f(path);
    if (f.size() > 1024 * 1024) {
        if (error) *error = QStringLiteral("character file too large");
        return {};
    }
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = f.errorString();
        return {};
    }
    return parseCharacter(f.readAll(), error);
}

int CharacterModel::duration(const QString& animation) const {
    int total = 0;
    for (const KeyFrame& f : animations.value(animation))
        total += f.ms;
    return total;
}

Pose CharacterModel::poseAt(const QString& animation, int elapsedMs) const {
    const QList<KeyFrame> frames = animations.value(animation);
    Pose from; // the rest pose
    int start = 0;
    for (const KeyFrame& f : frames) {
        if (elapsedMs < start + f.ms) {
            const double t = f.ms > 0 ? double(elapsedMs - start) / f.ms : 1.0;
            Pose out;
            for (const CharacterPart& part : parts) {
                const PartPose a = from.value(part.id);
                const PartPose b = f.pose.value(part.id);
                if (a != PartPose() || b != PartPose()) out.insert(part.id, mix(a, b, t));
            }
            return out;
        }
        start += f.ms;
        from = f.pose;
    }
    return {};
}

QImage CharacterModel::render(const Pose& pose) const {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (const CharacterPart& part : parts) {
        const PartPose pp = pose.value(part.id);
        p.save();
        p.translate(part.pivot + QPointF(pp.dx, pp.dy));
        p.rotate(pp.rotate);
        p.scale(pp.scale, pp.scale);
        p.translate(-part.pivot);
        for (const CharacterShape& s : part.shapes) {
            p.setPen(s.stroke.isValid() ? QPen(s.stroke, s.strokeWidth) : QPen(Qt::NoPen));
            p.setBrush(s.fill.isValid() ? QBrush(s.fill) : QBrush(Qt::NoBrush));
            switch (s.kind) {
            case CharacterShape::Ellipse:
                p.drawEllipse(s.rect);
                break;
            case CharacterShape::Rect:
                p.drawRect(s.rect);
                break;
            case CharacterShape::Polygon:
                p.drawPolygon(s.points);
                break;
            case CharacterShape::Line:
                p.drawPolyline(s.points);
                break;
            }
        }
        p.restore();
    }
    return image;
}

} // namespace klavoro
