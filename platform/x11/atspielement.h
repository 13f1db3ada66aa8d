#pragma once

#include "platform/accessibility.h"
#include "platform/x11/atspibus.h"

#include <QElapsedTimer>

#include <memory>
#include <optional>
#include <vector>

namespace klavoro::x11 {

// The time one inspection may spend on calls to another application. Once a
// call has run into its timeout the application counts as hung, and every
// further call of the same inspection answers empty at once.
class CallBudget {
public:
    CallBudget(int callTimeoutMs, int totalMs);
    // The timeout for the next call, or 0 when no call may be made any more.
    int nextCallTimeout();
    // After a call that started at `startedMs` (elapsed()). A slow call means
    // a hung application whether or not the bus reported a timeout.
    void callDone(qint64 startedMs, bool timedOut);
    qint64 elapsed() const { return m_clock.elapsed(); }
    bool gaveUp() const { return m_gaveUp; }
    // Whether a call ran into its timeout (not merely the time running out).
    bool timedOut() const { return m_timedOut; }
    int calls() const { return m_calls; }
    // Cuts the whole budget short (a press may be held only so long).
    void limitTotal(int totalMs);

private:
    QElapsedTimer m_clock;
    int m_callTimeoutMs;
    int m_totalMs;
    bool m_gaveUp = false;
    bool m_timedOut = false;
    int m_calls = 0;
    int m_lastTimeoutMs = 0;
};

using BudgetRef = std::shared_ptr<CallBudget>;

// What the elements of one application share during one query.
struct AtspiApp {
    const AtspiBus* bus = nullptr;
    BudgetRef budget;
    // GTK 4 answers in coordinates of its window: add this to get the screen's.
    QPoint windowOrigin;
    bool windowCoordinates = false;
    // GTK 4 never sets "showing": "visible" stands for it.
    bool visibleIsShowing = false;
};

using AppRef = std::shared_ptr<const AtspiApp>;

// GTK 4 without a compositor sets no frame extents, yet a window that draws
// its own decoration keeps a border for resizing around it, and its
// coordinates start inside that border: half of what the X window is larger
// than the window element, on each side. Nothing for a window without one.
QPoint gtk4BorderOf(const QSize& xWindow, const QSize& frame);

// Sizes that agree but for a pixel of rounding.
bool sameSize(const QSize& a, const QSize& b);

// Where a GTK 4 window element of `frame`'s size that fills the X window
// `xWindow` (itself, or within its border) starts on the screen; nothing
// when it does not fill it: in window coordinates only the size tells.
std::optional<QPoint> gtk4OriginIn(const QRect& xWindow, const QSize& frame);

// How much two rectangles agree: the shared area over the joint area.
double overlap(const QRect& a, const QRect& b);

// An element of another application reached over the accessibility bus.
class AtspiElement : public AccessibleObject {
public:
    AtspiElement(AtspiRef ref, AppRef app);

    QString key() const override;
    QString name() override;
    QString value() override;
    int role() override;
    quint32 state() override;
    QString description() override;
    QString defaultAction() override;
    QRect location() override;
    QString keyboardShortcut() override;
    QString focus() override;
    int childCount() override;
    AccessibleRef parent() override;
    AccessibleRef child(int index) override;
    int indexInParent() override;
    QList<AccessibleRef> labelledBy() override;

    // Reads name, description, parent, child count, role, states, extents
    // (and with `relations` the labels) in one round trip; the accessors
    // then answer from what was read.
    void prefetch(bool relations);
    // The children, with their roles, states and extents read in one round trip.
    std::vector<std::shared_ptr<AtspiElement>> childrenWithShape();
    // The children, nothing read of them yet.
    std::vector<std::shared_ptr<AtspiElement>> children();
    // Roles, states and extents of elements of one application, in one round trip.
    static void readShapes(const std::vector<std::shared_ptr<AtspiElement>>& elements);
    // Takes over what an earlier query learnt of the same element.
    void assumeLocation(const QRect& screenRect) { m_location = screenRect; }

    // AT-SPI facts for the service's own searches.
    int atspiRole();
    quint64 atspiStates();
    bool isShowing();
    // The deepest child at a screen point one level down; null when none.
    std::shared_ptr<AtspiElement> childAtPoint(QPoint screenPoint);
    std::shared_ptr<AtspiElement> childElement(int index);
    const AtspiRef& ref() const { return m_ref; }
    const AppRef& app() const { return m_app; }
    const BudgetRef& budget() const { return m_app->budget; }

private:
    AtspiReply call(const char* interface, const char* method, _GVariant* params,
                    const char* replyType);
    AtspiReply property(const char* interface, const char* name);
    std::shared_ptr<AtspiElement> fromReply(const AtspiReply& reply);
    std::shared_ptr<AtspiElement> elementOf(const AtspiRef& ref);
    unsigned extentsType() const;
    void takeRole(const AtspiReply& reply);
    void takeStates(const AtspiReply& reply);
    void takeExtents(const AtspiReply& reply);
    void takeRelations(const AtspiReply& reply);
    void takeProperties(const AtspiReply& name, const AtspiReply& parent,
                        const AtspiReply& children);

    AtspiRef m_ref;
    AppRef m_app;
    // Read once per element: an inspection asks for these several times.
    std::optional<int> m_role;
    std::optional<quint64> m_states;
    std::optional<QRect> m_location;
    std::optional<int> m_childCount;
    std::optional<QString> m_name;
    std::optional<QString> m_description;
    std::optional<AtspiRef> m_parentRef;
    std::shared_ptr<AtspiElement> m_parent;
    std::optional<QList<AtspiRef>> m_labels;
};

} // namespace klavoro::x11
