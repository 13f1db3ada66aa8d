#include "platform/x11/dbusinputmethod.h"

#include "platform/x11/ibusengines.h"
#include "store/logs.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace klavoro::x11 {

namespace {

const QString kFcitxService = QStringLiteral("org.fcitx.Fcitx5");
const QString kFcitxPath = QStringLiteral("/controller");
const QString kFcitxController = QStringLiteral("org.fcitx.Fcitx.Controller1");
const QString kIbusService = QStringLiteral("org.freedesktop.IBus");
const QString kIbusPath = QStringLiteral("/org/freedesktop/IBus");
const QString kIbusConnection = QStringLiteral("klavoro-ibus");
constexpr int kProbeIntervalMs = 3000;
// fcitx5's State: 0 no input context, 1 inactive, 2 active.
constexpr int kFcitxActive = 2;

QDBusMessage call(const QDBusConnection& bus, const QDBusMessage& msg, int timeoutMs) {
    if (!bus.isConnected()) return {};
    return bus.call(msg, QDBus::Block, timeoutMs);
}

bool ok(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool nameHasOwner(const QDBusConnection& bus, const QString& name, int timeoutMs) {
    QDBusMessage msg = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    msg << name;
    const QDBusMessage reply = call(bus, msg, timeoutMs);
    return ok(reply) && !reply.arguments().isEmpty() && reply.arguments().at(0).toBool();
}

QDBusMessage fcitxCall(const QString& method, int timeoutMs) {
    return call(QDBusConnection::sessionBus(),
                QDBusMessage::createMethodCall(kFcitxService, kFcitxPath, kFcitxController, method),
                timeoutMs);
}

QString localMachineId() {
    for (const char* path : {"/var/lib/dbus/machine-id", "/etc/machine-id"}) {
        QFile f(QString::fromLatin1(path));
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray id = f.readAll().trimmed();
            if (!id.isEmpty()) return QString::fromLatin1(id);
        }
    }
    return {};
}

// The engine name inside an IBusEngineDesc: ("IBusEngineDesc", attachments,
// name, long name, ...), possibly wrapped in variants.
QString engineNameOf(QVariant v) {
    while (v.canConvert<QDBusVariant>() && v.userType() == qMetaTypeId<QDBusVariant>())
        v = v.value<QDBusVariant>().variant();
    if (v.userType() != qMetaTypeId<QDBusArgument>()) return {};
    const QDBusArgument arg = v.value<QDBusArgument>();
    if (arg.currentType() == QDBusArgument::VariantType) {
        QDBusVariant inner;
        arg >> inner;
        return engineNameOf(inner.variant());
    }
    if (arg.currentType() != QDBusArgument::StructureType) return {};
    QString type, name;
    arg.beginStructure();
    arg >> type;
    if (type == QLatin1String("IBusEngineDesc") && !arg.atEnd()) {
        arg.asVariant(); // attachments
        if (!arg.atEnd()) arg >> name;
    }
    arg.endStructure();
    return name;
}

} // namespace

QString ibusAddress() {
    const QString fromEnv = qEnvironmentVariable("IBUS_ADDRESS");
    if (!fromEnv.isEmpty()) return fromEnv;
    QString file = qEnvironmentVariable("IBUS_ADDRESS_FILE");
    if (file.isEmpty()) {
        // The daemon's own naming: <machine id>-<host>-<display number>.
        QString host = QStringLiteral("unix"), number = QStringLiteral("0");
        const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
        const QString display = qEnvironmentVariable("DISPLAY");
        if (!wayland.isEmpty()) {
            number = wayland;
        } else if (!display.isEmpty()) {
            const qsizetype colon = display.lastIndexOf(u':');
            if (colon > 0) host = display.left(colon);
            QString rest = colon >= 0 ? display.mid(colon + 1) : display;
            const qsizetype dot = rest.indexOf(u'.');
            number = dot >= 0 ? rest.left(dot) : rest;
        }
        const QString id = localMachineId();
        if (id.isEmpty()) return {};
        QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
        file = config + QStringLiteral("/ibus/bus/") + id + u'-' + host + u'-' + number;
    }
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("IBUS_ADDRESS=")) return QString::fromLocal8Bit(line.mid(13).trimmed());
    }
    return {};
}

bool isIbusLayoutEngine(const QString& engineName) {
    return engineName.isEmpty() || engineName.startsWith(QLatin1String("xkb:"));
}

DBusInputMethod::DBusInputMethod(int callTimeoutMs) : m_timeoutMs(callTimeoutMs) {}

DBusInputMethod::~DBusInputMethod() {
    if (!m_ibusAddress.isEmpty()) QDBusConnection::disconnectFromBus(kIbusConnection);
}

void DBusInputMethod::probe() {
    if (m_framework != Framework::None || !m_nextProbe.hasExpired()) return;
    m_nextProbe.setRemainingTime(kProbeIntervalMs);
    if (nameHasOwner(QDBusConnection::sessionBus(), kFcitxService, m_timeoutMs)) {
        m_framework = Framework::Fcitx5;
        return;
    }
    const QString address = ibusAddress();
    if (!address.isEmpty()) {
        if (address != m_ibusAddress) {
            if (!m_ibusAddress.isEmpty()) QDBusConnection::disconnectFromBus(kIbusConnection);
            m_ibusAddress = address;
        }
        const QDBusConnection bus = QDBusConnection::connectToBus(address, kIbusConnection);
        if (nameHasOwner(bus, kIbusService, m_timeoutMs)) {
            m_framework = Framework::IBus;
            return;
        }
        // A stale address file from a daemon that has gone.
        QDBusConnection::disconnectFromBus(kIbusConnection);
        m_ibusAddress.clear();
    }
    if (!m_toldMissing) {
        m_toldMissing = true;
        writeLog(QStringLiteral("入力メソッド：fcitx5 も IBus も応答しません（English のまま）"));
    }
}

void DBusInputMethod::lost() {
    m_framework = Framework::None;
    m_nextProbe.setRemainingTime(kProbeIntervalMs);
}

bool DBusInputMethod::isAvailable() {
    probe();
    return m_framework != Framework::None;
}

QString DBusInputMethod::frameworkName() {
    switch (m_framework) {
    case Framework::Fcitx5:
        return QStringLiteral("fcitx5");
    case Framework::IBus:
        return QStringLiteral("ibus");
    default:
        return {};
    }
}

bool DBusInputMethod::isOpen() {
    probe();
    switch (m_framework) {
    case Framework::Fcitx5: {
        const QDBusMessage reply = fcitxCall(QStringLiteral("State"), m_timeoutMs);
        if (!ok(reply) || reply.arguments().isEmpty()) {
            lost();
            return false;
        }
        return reply.arguments().at(0).toInt() == kFcitxActive;
    }
    case Framework::IBus:
        return ibusOpen();
    default:
        return false;
    }
}

void DBusInputMethod::setOpen(bool open) {
    probe();
    switch (m_framework) {
    case Framework::Fcitx5:
        if (!ok(fcitxCall(open ? QStringLiteral("Activate") : QStringLiteral("Deactivate"),
                          m_timeoutMs)))
            lost();
        break;
    case Framework::IBus:
        ibusSetOpen(open);
        break;
    default:
        break;
    }
}

QDBusMessage DBusInputMethod::ibusProperty(const QString& name) {
    QDBusMessage msg = QDBusMessage::createMethodCall(
        kIbusService, kIbusPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    msg << kIbusService << name;
    return call(QDBusConnection(kIbusConnection), msg, m_timeoutMs);
}

bool DBusInputMethod::ibusOpen() {
    const QDBusMessage reply = ibusProperty(QStringLiteral("GlobalEngine"));
    // The daemon answers with a plain failure while no engine was chosen yet.
    if (reply.type() == QDBusMessage::ErrorMessage &&
        reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.Failed"))
        return false;
    if (!ok(reply) || reply.arguments().isEmpty()) {
        lost();
        return false;
    }
    const QString engine = engineNameOf(reply.arguments().at(0));
    if (isIbusLayoutEngine(engine)) return false;
    m_lastIbusEngine = engine;
    return true;
}

void DBusInputMethod::ibusSetOpen(bool open) {
    if (ibusOpen() == open || m_framework != Framework::IBus) return;
    // The engines of this session, then the ones the user set up, in their
    // order: the first input method opens, the first keyboard layout closes.
    // Without either the engine seen open last opens again; a layout is
    // never guessed.
    QStringList candidates;
    const QDBusMessage reply = ibusProperty(QStringLiteral("ActiveEngines"));
    if (ok(reply) && !reply.arguments().isEmpty()) {
        QVariant v = reply.arguments().at(0);
        if (v.userType() == qMetaTypeId<QDBusVariant>()) v = v.value<QDBusVariant>().variant();
        if (v.userType() == qMetaTypeId<QDBusArgument>()) {
            const QDBusArgument list = v.value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                QDBusVariant item;
                list >> item;
                candidates << engineNameOf(item.variant());
            }
            list.endArray();
        }
    }
    candidates << ibusPreloadEngines();
    QString target;
    for (const QString& name : std::as_const(candidates)) {
        if (!name.isEmpty() && isIbusLayoutEngine(name) != open) {
            target = name;
            break;
        }
    }
    if (target.isEmpty() && open) target = m_lastIbusEngine;
    if (target.isEmpty()) return;
    QDBusMessage set = QDBusMessage::createMethodCall(kIbusService, kIbusPath, kIbusService,
                                                      QStringLiteral("SetGlobalEngine"));
    set << target;
    if (!ok(call(QDBusConnection(kIbusConnection), set, m_timeoutMs))) lost();
}

} // namespace klavoro::x11
