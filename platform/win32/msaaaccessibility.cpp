#include "platform/win32/msaaaccessibility.h"

#include "platform/win32/win32handles.h"

#include <oleacc.h>

#include <optional>

namespace klavoro::win32 {

bool MsaaAccessibility::Budget::spent() {
    if (!gaveUp && limitMs > 0 && clock.elapsed() > limitMs) gaveUp = true;
    return gaveUp;
}

namespace {

using Budget = MsaaAccessibility::Budget;

// One counted reference to an IAccessible.
class AccRef {
public:
    AccRef() = default;
    explicit AccRef(IAccessible* adopted) : m_p(adopted) {}
    AccRef(const AccRef& o) : m_p(o.m_p) {
        if (m_p) m_p->AddRef();
    }
    AccRef& operator=(AccRef o) {
        std::swap(m_p, o.m_p);
        return *this;
    }
    ~AccRef() {
        if (m_p) m_p->Release();
    }
    IAccessible* get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    static AccRef fromDispatch(IDispatch* dispatch) {
        IAccessible* acc = nullptr;
        if (dispatch) {
            dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&acc));
            dispatch->Release();
        }
        return AccRef(acc);
    }

private:
    IAccessible* m_p = nullptr;
};

VARIANT childVariant(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

QString takeString(HRESULT hr, BSTR text) {
    QString result;
    if (SUCCEEDED(hr) && text) result = fromWide(text, int(SysStringLen(text)));
    if (text) SysFreeString(text);
    return result;
}

class MsaaElement : public AccessibleObject, public std::enable_shared_from_this<MsaaElement> {
public:
    MsaaElement(AccRef acc, long child, std::shared_ptr<Budget> budget)
        : m_acc(std::move(acc)), m_child(child), m_budget(std::move(budget)) {}

    QString key() const override {
        if (m_key.isEmpty()) {
            auto* self = const_cast<MsaaElement*>(this);
            HWND window = nullptr;
            WindowFromAccessibleObject(m_acc.get(), &window);
            const QRect r = self->location();
            m_key = QStringLiteral("%1:%2:%3:%4,%5,%6,%7")
                        .arg(toId(window), 0, 16)
                        .arg(m_child)
                        .arg(self->role())
                        .arg(r.x())
                        .arg(r.y())
                        .arg(r.width())
                        .arg(r.height());
        }
        return m_key;
    }

    QString name() override {
        return text([](IAccessible* a, VARIANT c, BSTR* out) { return a->get_accName(c, out); });
    }
    QString value() override {
        // A password field's content is never read.
        if (state() & STATE_SYSTEM_PROTECTED) return {};
        return text([](IAccessible* a, VARIANT c, BSTR* out) { return a->get_accValue(c, out); });
    }
    QString description() override {
        return text(
            [](IAccessible* a, VARIANT c, BSTR* out) { return a->get_accDescription(c, out); });
    }
    QString defaultAction() override {
        return text(
            [](IAccessible* a, VARIANT c, BSTR* out) { return a->get_accDefaultAction(c, out); });
    }
    QString keyboardShortcut() override {
        return text([](IAccessible* a, VARIANT c, BSTR* out) {
            return a->get_accKeyboardShortcut(c, out);
        });
    }

    int role() override {
        if (!m_role) {
            if (m_budget->spent()) return 0;
            VARIANT v;
            VariantInit(&v);
            const HRESULT hr = m_acc.get()->get_accRole(childVariant(m_child), &v);
            // A role given as a text is an application's own: no standard number.
            m_role = SUCCEEDED(hr) && v.vt == VT_I4 ? int(v.lVal) : 0;
            VariantClear(&v);
        }
        return *m_role;
    }

    quint32 state() override {
        if (!m_state) {
            if (m_budget->spent()) return 0;
            VARIANT v;
            VariantInit(&v);
            const HRESULT hr = m_acc.get()->get_accState(childVariant(m_child), &v);
            m_state = SUCCEEDED(hr) && v.vt == VT_I4 ? quint32(v.lVal) : 0u;
            VariantClear(&v);
        }
        return *m_state;
    }

    QRect location() override {
        if (!m_location) {
            if (m_budget->spent()) return {};
            long x = 0, y = 0, w = 0, h = 0;
            m_location = SUCCEEDED(m_acc.get()->accLocation(&x, &y, &w, &h, childVariant(m_child)))
                             ? QRect(int(x), int(y), int(w), int(h))
                             : QRect();
        }
        return *m_location;
    }

    QString focus() override {
        if (m_child != CHILDID_SELF || m_budget->spent()) return {};
        VARIANT v;
        VariantInit(&v);
        QString result;
        if (SUCCEEDED(m_acc.get()->get_accFocus(&v))) {
            if (v.vt == VT_I4)
                result = QString::number(v.lVal);
            else if (v.vt == VT_DISPATCH && v.pdispVal)
                result = indexOfChild(v.pdispVal);
        }
        VariantClear(&v);
        return result;
    }

    int childCount() override {
        if (m_child != CHILDID_SELF || m_budget->spent()) return 0;
        long count = 0;
        return SUCCEEDED(m_acc.get()->get_accChildCount(&count)) ? int(count) : 0;
    }

    AccessibleRef parent() override {
        if (m_child != CHILDID_SELF)
            return std::make_shared<MsaaElement>(m_acc, CHILDID_SELF, m_budget);
        if (m_budget->spent()) return nullptr;
        IDispatch* up = nullptr;
        if (FAILED(m_acc.get()->get_accParent(&up)) || !up) return nullptr;
        AccRef acc = AccRef::fromDispatch(up);
        return acc ? std::make_shared<MsaaElement>(acc, CHILDID_SELF, m_budget) : nullptr;
    }

    AccessibleRef child(int index) override {
        if (m_child != CHILDID_SELF || index < 0 || m_budget->spent()) return nullptr;
        VARIANT v;
        VariantInit(&v);
        LONG got = 0;
        if (FAILED(AccessibleChildren(m_acc.get(), index, 1, &v, &got)) || got != 1) return nullptr;
        AccessibleRef result;
        if (v.vt == VT_DISPATCH && v.pdispVal) {
            v.pdispVal->AddRef();
            if (AccRef acc = AccRef::fromDispatch(v.pdispVal))
                result = std::make_shared<MsaaElement>(acc, CHILDID_SELF, m_budget);
        } else if (v.vt == VT_I4) {
            result = std::make_shared<MsaaElement>(m_acc, v.lVal, m_budget);
        }
        VariantClear(&v);
        // Wine hands out objects for the child windows that answer nothing,
        // not even their role; their client objects do.
        if (result && result->role() == 0)
            if (AccessibleRef client = childWindowObject(index)) result = client;
        return result;
    }

    int indexInParent() override {
        // A simple child's id is its place among its container's children.
        return m_child != CHILDID_SELF ? int(m_child) - 1 : -1;
    }

private:
    template <typename Get> QString text(Get get) {
        if (m_budget->spent()) return {};
        BSTR out = nullptr;
        const HRESULT hr = get(m_acc.get(), childVariant(m_child), &out);
        return takeString(hr, out);
    }

    // The client object of the index-th child window of this element's window.
    AccessibleRef childWindowObject(int index) {
        HWND window = nullptr;
        if (FAILED(WindowFromAccessibleObject(m_acc.get(), &window)) || !window) return nullptr;
        HWND w = GetWindow(window, GW_CHILD);
        for (int i = 0; w && i < index; ++i)
            w = GetWindow(w, GW_HWNDNEXT);
        IAccessible* acc = nullptr;
        if (!w ||
            FAILED(AccessibleObjectFromWindow(w, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                              reinterpret_cast<void**>(&acc))) ||
            !acc)
            return nullptr;
        return std::make_shared<MsaaElement>(AccRef(acc), CHILDID_SELF, m_budget);
    }

    // "n" for the child that is the same COM object as `object`; empty when none is.
    QString indexOfChild(IDispatch* object) {
        IUnknown* wanted = nullptr;
        object->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&wanted));
        QString result;
        const int count = childCount();
        for (int i = 0; i < count && i < 512 && result.isEmpty() && !m_budget->spent(); ++i) {
            VARIANT v;
            VariantInit(&v);
            LONG got = 0;
            if (SUCCEEDED(AccessibleChildren(m_acc.get(), i, 1, &v, &got)) && got == 1 &&
                v.vt == VT_DISPATCH && v.pdispVal) {
                IUnknown* same = nullptr;
                v.pdispVal->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&same));
                if (same && same == wanted) result = QString::number(i + 1);
                if (same) same->Release();
            }
            VariantClear(&v);
        }
        if (wanted) wanted->Release();
        return result;
    }

    AccRef m_acc;
    long m_child;
    std::shared_ptr<Budget> m_budget;
    mutable QString m_key;
    std::optional<int> m_role;
    std::optional<quint32> m_state;
    std::optional<QRect> m_location;
};

AccessibleRef elementOf(IAccessible* acc, const VARIANT& child, std::shared_ptr<Budget> budget) {
    if (!acc) return nullptr;
    AccRef ref(acc);
    if (child.vt == VT_I4 && child.lVal != CHILDID_SELF)
        return std::make_shared<MsaaElement>(ref, child.lVal, std::move(budget));
    return std::make_shared<MsaaElement>(ref, CHILDID_SELF, std::move(budget));
}

} // namespace

MsaaAccessibility::MsaaAccessibility(Desktop& desktop, int budgetMs)
    : m_desktop(desktop), m_budgetMs(budgetMs) {}

std::shared_ptr<MsaaAccessibility::Budget> MsaaAccessibility::startQuery() {
    auto budget = std::make_shared<Budget>();
    budget->limitMs = m_nextLimitMs > 0 ? m_nextLimitMs : m_budgetMs;
    m_nextLimitMs = 0;
    budget->clock.start();
    m_budget = budget;
    m_lastHung = false;
    return budget;
}

bool MsaaAccessibility::lastQueryTimedOut() const {
    return m_lastHung || (m_budget && m_budget->gaveUp);
}

bool MsaaAccessibility::askable(WindowId window) {
    const HWND w = toHwnd(window);
    if (!window || !IsWindow(w)) return false;
    if (m_desktop.processId(window) == qint64(GetCurrentProcessId())) return false;
    const HWND top = GetAncestor(w, GA_ROOT);
    if (top && IsHungAppWindow(top)) {
        m_lastHung = true;
        return false;
    }
    return true;
}

AccessibleRef MsaaAccessibility::objectAtPoint(QPoint p) {
    auto budget = startQuery();
    if (!askable(m_desktop.windowAt(p))) return nullptr;
    IAccessible* acc = nullptr;
    VARIANT child;
    VariantInit(&child);
    if (FAILED(AccessibleObjectFromPoint(POINT{p.x(), p.y()}, &acc, &child)) || !acc)
        return nullptr;
    AccessibleRef element = elementOf(acc, child, budget);
    VariantClear(&child);
    return element;
}

AccessibleRef MsaaAccessibility::objectOfWindow(WindowId window) {
    auto budget = startQuery();
    if (!askable(window)) return nullptr;
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(toHwnd(window), DWORD(OBJID_CLIENT),
                                          __uuidof(IAccessible), reinterpret_cast<void**>(&acc))) ||
        !acc)
        return nullptr;
    return std::make_shared<MsaaElement>(AccRef(acc), CHILDID_SELF, budget);
}

AccessibleRef MsaaAccessibility::focusedObject() {
    const WindowId window = m_desktop.focusedWindow();
    AccessibleRef element = objectOfWindow(window);
    // Down the focus chain of the window's client object.
    for (int depth = 0; element && depth < 16; ++depth) {
        const QString focus = element->focus();
        if (focus.isEmpty() || focus == QLatin1String("0")) break;
        AccessibleRef next = element->child(focus.toInt() - 1);
        if (!next) break;
        element = next;
    }
    return element;
}

} // namespace klavoro::win32
