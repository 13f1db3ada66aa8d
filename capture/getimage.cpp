#include "capture/getimage.h"

#include "capture/cursorfile.h"
#include "capture/drawing.h"
#include "capture/monitorlayout.h"
#include "platform/cursorsource.h"
#include "platform/screencopy.h"
#include "store/dialogs.h"
#include "store/logs.h"
#include "store/settings.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>

#include <cmath>

namespace klavoro {

namespace {
ScreenRect fromQRect(const QRect& r) {
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}
ScreenRect moved(const ScreenRect& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}
QPoint unscaled(QPoint p, double m) {
    return m > 0 ? QPoint(int(std::nearbyint(p.x() / m)), int(std::nearbyint(p.y() / m))) : p;
}
} // namespace

ScreenRect monitorOfPoint(ScreenCopy& screen, QPoint p, double m) {
    const QRect whole(QPoint(0, 0), screen.screenSize());
    return fromQRect(monitorAt(screen.monitors(), unscaled(p, m), whole));
}

QString captureTargetName(int target) {
    switch (target) {
    case 1:
        return QStringLiteral("window");
    case 2:
        return QStringLiteral("desktop");
    case 3:
        return QStringLiteral("topwindow");
    case 4:
        return QStringLiteral("app");
    default:
        return QStringLiteral("around");
    }
}

bool isTopWindowClass(const QString& className, const QString& setting) {
    if (className.isEmpty()) return false;
    for (const QString& name : setting.split(','))
        if (name.trimmed().compare(className, Qt::CaseInsensitive) == 0) return true;
    return false;
}

CaptureEngine::CaptureEngine(Desktop& desktop, ScreenCopy& screen, CursorSource& cursor,
                             ElementRectSource& elements, Dialogs& dialogs)
    : m_desktop(desktop), m_screen(screen), m_cursor(cursor), m_elements(elements),
      m_dialogs(dialogs) {}

bool CaptureEngine::computeArea(const QString& target, QPoint p, WindowId reference,
                                ScreenRect* area, ScreenRect* element) {
    const Settings& s = conf();
    const double m = s.textMag;
    // "desktop", "around" and "rect" stay on the monitor that holds the click
    // (for "rect", the middle of the area); the window targets show the window.
    if (target == QLatin1String("desktop")) {
        *element = m_elements.elementRectAt(p);
        *area = desktopAreaOn(monitorOfPoint(m_screen, p, m), m);
    } else if (target == QLatin1String("around")) {
        // The element is asked for after the copy: the copy must come first.
        *area = aroundAreaOn(p, monitorOfPoint(m_screen, p, m), m, s.rectLeft, s.rectTop,
                           s.rectRight, s.rectBottom);
    } else if (target == QLatin1String("window")) {
        *element = m_elements.elementRectAt(p);
        WindowId w = reference;
        if (isTopWindowClass(m_desktop.className(w), s.getTopWindow))
            w = m_desktop.topLevelWindow(w);
        const ScreenRect window = fromQRect(m_desktop.windowRect(w));
        const WindowId parent = m_desktop.parent(w);
        const ScreenRect parentRect = parent ? fromQRect(m_desktop.windowRect(parent)) : window;
        *area = windowArea(p, window, parentRect, *element, s.winWidthMax, s.winHeightMax);
    } else if (target == QLatin1String("topwindow") || target == QLatin1String("app")) {
        *element = m_elements.elementRectAt(p);
        WindowId w = m_desktop.topLevelWindow(reference);
        if (target == QLatin1String("app")) {
            const WindowId owner = m_desktop.parent(w);
            if (owner != 0 && owner != m_desktop.desktopWindow()) w = owner;
        }
        *area = topWindowArea(p, fromQRect(m_desktop.windowRect(w)), s.capMarginX, s.capMarginY, m);
    } else if (target == QLatin1String("rect")) {
        *element = m_elements.elementRectAt(p);
        const ScreenRect chosen = fromQRect(selectedArea);
        const QPoint middle((chosen.left + chosen.right) / 2, (chosen.top + chosen.bottom) / 2);
        *area = clippedToMonitor(chosen, monitorOfPoint(m_screen, middle, 1.0), 1.0);
    } else {
        return false;
    }
    return true;
}

QImage CaptureEngine::copyArea(const ScreenRect& area) {
    // Parts of the area beyond the screen stay black, as a plain screen copy
    // leaves them; the picture keeps the area's size so that positions match.
    QImage surface(std::max(0, area.width()), std::max(0, area.height()), QImage::Format_RGB32);
    surface.fill(Qt::black);
    const QRect wanted(area.left, area.top, area.width(), area.height());
    const QRect onScreen = wanted.intersected(QRect(QPoint(0, 0), m_screen.screenSize()));
    if (onScreen.isEmpty()) return surface;
    const QImage copied = m_screen.copy(onScreen);
    if (copied.isNull()) {
        m_dialogs.message(QStringLiteral("画面をコピーできません 0"), QStringLiteral("MyBitBlt"));
        return surface;
    }
    QPainter painter(&surface);
    painter.drawImage(onScreen.topLeft() - wanted.topLeft(), copied);
    return surface;
}

CaptureEngine::Pointer CaptureEngine::pointerImage() {
    const Settings& s = conf();
    if (s.mouseOption == 1) {
        const QString file = cursorFilePath(s.mouseFile);
        if (QFileInfo(file).isFile()) {
            const CursorFile c = loadCursorFile(file);
            if (!c.image.isNull()) return {c.image, c.hotSpot};
        }
    }
    const CursorImage live = m_cursor.currentCursor();
    return {live.image, live.hotSpot};
}

CaptureResult CaptureEngine::GetImage(const QString& target, const QString& /*eventName*/,
                                      bool noPointer, bool noMarker, bool withUnmarked) {
    const Settings& s = conf();
    const double m = s.textMag;
    CaptureResult r;
    auto finish = [&] {
        if (s.popupCounter == 1 && showPopupCounter)
            showPopupCounter((stepCount ? stepCount() : 0) + 1);
        return r;
    };

    const QPoint p = atPoint ? *atPoint : m_desktop.pointerPosition();
    atPoint.reset();
    r.pointer = p;
    // "around" needs no window: its copy is not delayed by window queries.
    const bool needsWindow = target != QLatin1String("around") &&
                             target != QLatin1String("desktop") && target != QLatin1String("rect");
    const WindowId reference = !needsWindow ? 0
                               : p.x() < 0 && p.y() < 0
                                   ? m_desktop.focusedWindow()
                                   : m_desktop.windowAt(QPoint(int(std::nearbyint(p.x() / m)),
                                                               int(std::nearbyint(p.y() / m))));
    ScreenRect element;
    if (!computeArea(target, p, reference, &r.area, &element)) {
        m_dialogs.message(QStringLiteral("不明なキャプチャー対象です: ") + target +
                              QStringLiteral(" 0"),
                          QStringLiteral("MyCapture"));
        r.result = kCaptureError;
        return finish();
    }
    if (r.area.width() < 4 || r.area.height() < 4) {
        r.result = kCaptureCancel;
        return finish();
    }

    r.image = copyArea(r.area);
    if (redact) redact(r.image, QRect(r.area.left, r.area.top, r.area.width(), r.area.height()), p);
    if (target == QLatin1String("around")) element = m_elements.elementRectAt(p);
    const bool drawPointerOn = !noPointer && (s.mouseCursor == 1 || forceMouseCursor);
    const Pointer pointer = drawPointerOn ? pointerImage() : Pointer{};
    QPoint at(p.x() - r.area.left, p.y() - r.area.top);
    if (target == QLatin1String("desktop"))
        at = QPoint(int(std::nearbyint(at.x() * m)), int(std::nearbyint(at.y() * m)));

    if (withUnmarked) r.unmarked = r.image.copy();
    if (!noMarker && s.rectPoint == 1 && element.width() > 0 && element.height() > 0)
        drawMarker(r.image, moved(element, -r.area.left, -r.area.top), s.rectPointColor,
                   s.rectPointWidth, s.rectPointRound);
    if (drawPointerOn) {
        drawPointer(r.image, pointer.image, pointer.hotSpot, at);
        if (withUnmarked) drawPointer(r.unmarked, pointer.image, pointer.hotSpot, at);
    }

    const bool shrink = target == QLatin1String("topwindow") || target == QLatin1String("app") ||
                        (target == QLatin1String("desktop") && s.plainScale != 1);
    if (shrink) {
        if (const auto size = shrunkSize(r.image.size(), s.winWidthMax, s.winHeightMax, m)) {
            r.image = r.image.scaled(*size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            if (withUnmarked)
                r.unmarked =
                    r.unmarked.scaled(*size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
    }

    if ((s.copyToClipboard == 1 || forceClipboard) && QGuiApplication::instance()) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (!clipboard) {
            writeLog(QStringLiteral("クリップクリアエラー"));
        } else {
            clipboard->clear();
            clipboard->setImage(r.image);
            if (clipboard->image().isNull())
                writeLog(QStringLiteral("クリップボードへのデータセットエラー"));
        }
    }
    return finish();
}

} // namespace klavoro
