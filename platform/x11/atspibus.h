#pragma once

#include <QString>

#include <memory>
#include <vector>

struct _GDBusConnection;
struct _GVariant;
struct _GVariantType;

namespace klavoro::x11 {

// An object on the accessibility bus: the application's bus name and the
// object's path.
struct AtspiRef {
    QString bus;
    QString path;
    bool isNull() const;
};

// The answer of one call: the reply (owned), or why there was none.
struct AtspiReply {
    _GVariant* value = nullptr;
    bool timedOut = false;
    AtspiReply() = default;
    AtspiReply(AtspiReply&& other) noexcept;
    AtspiReply& operator=(AtspiReply&& other) noexcept;
    ~AtspiReply();
    explicit operator bool() const { return value != nullptr; }
};

// One connection to the accessibility bus, spoken to through GDBus. GDBus
// is safe from any thread, and every call carries its own timeout; libatspi
// is not: it keeps one global connection, one global timeout and a cache
// fed from the default main context (the GUI thread's), so calls from
// another thread would race with it.
class AtspiBus {
public:
    // Connects to the bus (its address from AT_SPI_BUS_ADDRESS, else asked of
    // the session bus). Never launches a bus.
    AtspiBus();
    ~AtspiBus();
    AtspiBus(const AtspiBus&) = delete;
    AtspiBus& operator=(const AtspiBus&) = delete;

    bool isOpen() const { return m_connection != nullptr; }
    QString errorText() const { return m_error; }

    // A method call; `params` is consumed (it may be floating). The reply has
    // the type given, or none.
    AtspiReply call(const AtspiRef& object, const char* interface, const char* method,
                    _GVariant* params, const char* replyType, int timeoutMs) const;
    // A property read; the reply is the property's value (unboxed).
    AtspiReply property(const AtspiRef& object, const char* interface, const char* name,
                        int timeoutMs) const;
    // One method call of a batch.
    struct Request {
        AtspiRef object;
        const char* interface = nullptr;
        const char* method = nullptr;
        _GVariant* params = nullptr; // consumed
        const char* replyType = nullptr;
    };
    // Sends all requests at once and waits for every answer (at most
    // `timeoutMs`): one round trip instead of one per call. Replies come in
    // the order of the requests.
    std::vector<AtspiReply> callAll(std::vector<Request> requests, int timeoutMs) const;

    // The process behind a bus name, asked of the bus daemon; 0 when unknown.
    qint64 processOf(const QString& busName, int timeoutMs) const;

    // The registry's list of applications.
    static AtspiRef registryRoot();

private:
    _GDBusConnection* m_connection = nullptr;
    QString m_error;
};

} // namespace klavoro::x11
