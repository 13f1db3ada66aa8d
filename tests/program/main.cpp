// The program tests: the shipped binary on the test desktop, driven through
// its menus, buttons and keys. When the whole suite runs, every command of the
// program's command map must have been run by one of them.
#include "tests/desktop/fixtureapp.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Commands no user can reach as the program stands, each with the reason.
// They are named in every report instead of failing it; what to do about
// them is a decision about the program, not about its tests.
const QMap<QString, QString> kUnreachable = {
    {QStringLiteral("mnuPlay_0"),
     QStringLiteral("only in the notification area's menu, which is there only while recording, "
                    "when playback is refused")},
    {QStringLiteral("mnuPlay_1"),
     QStringLiteral("only in the notification area's menu, which is there only while recording, "
                    "when playback is refused")},
};

class CommandCoverage : public ::testing::Environment {
public:
    explicit CommandCoverage(QString ledger) : m_ledger(std::move(ledger)) {}

    void TearDown() override {
        QFile file(m_ledger);
        if (!file.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << "no command log: the program wrote none";
            return;
        }
        QSet<QString> mapped;
        QMap<QString, QSet<QString>> ranBy;
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QList<QByteArray> parts = raw.split(' ');
            if (parts.size() != 3) continue;
            const QString test = QString::fromUtf8(parts[0]);
            const QString name = QString::fromUtf8(parts[2]);
            if (parts[1] == "map") mapped << name;
            if (parts[1] == "run") ranBy[name] << test;
        }
        const bool whole = ::testing::GTEST_FLAG(filter) == "*";
        QStringList names(mapped.begin(), mapped.end());
        names.sort();
        QStringList missing;
        std::printf("\nCommands of the command map and the tests that ran them:\n");
        for (const QString& name : names) {
            QStringList tests(ranBy.value(name).begin(), ranBy.value(name).end());
            tests.sort();
            const QString ran = tests.isEmpty() ? kUnreachable.contains(name)
                                                      ? QStringLiteral("-- unreachable: ") +
                                                            kUnreachable.value(name)
                                                      : QStringLiteral("-- none --")
                                                : tests.join(QLatin1String(", "));
            std::printf("  %-26s %s\n", qPrintable(name), qPrintable(ran));
            if (tests.isEmpty() && !kUnreachable.contains(name)) missing << name;
        }
        if (names.isEmpty())
            ADD_FAILURE() << "the program reported no commands";
        else if (whole && !missing.isEmpty())
            ADD_FAILURE() << "commands no program test ran: "
                          << missing.join(QLatin1String(", ")).toStdString();
        else if (!whole)
            std::printf("(a filtered run: commands not run are not counted as failures)\n");
    }

private:
    QString m_ledger;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr,
                     "program tests need an X display; run them through scripts/desktop-session\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    // The desktop's shell, for the programs the program opens (folders, the
    // log, exports): a stand-in that writes down what it was asked to open.
    QTemporaryDir scratch;
    const QString shell = QStringLiteral(KLAVORO_TEST_SHELL_DIR);
    qputenv("PATH", (shell + QLatin1Char(':') + qEnvironmentVariable("PATH")).toLocal8Bit());
    qputenv("KLAVORO_TEST_OPENED", (scratch.path() + QStringLiteral("/opened.log")).toLocal8Bit());
    const QString ledger = scratch.path() + QStringLiteral("/commands.log");
    qputenv("KLAVORO_COMMAND_LEDGER", ledger.toLocal8Bit());

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new CommandCoverage(ledger));
    const int rc = RUN_ALL_TESTS();
    klavoro::test::stopSharedFixture();
    return rc;
}
