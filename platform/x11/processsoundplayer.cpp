#include "platform/x11/processsoundplayer.h"

#include "store/logs.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace klavoro::x11 {

AudioEnvironment AudioEnvironment::probe() {
    AudioEnvironment env;
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER")) {
        env.pulseServer = true;
    } else {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        env.pulseServer = !runtime.isEmpty() && QFileInfo::exists(runtime + "/pulse/native");
    }
    env.alsaDevice = !QDir(QStringLiteral("/dev/snd"))
                          .entryList({QStringLiteral("pcmC*D*p")}, QDir::System)
                          .isEmpty();
    for (const char* p : {"paplay", "aplay"})
        if (!QStandardPaths::findExecutable(QLatin1String(p)).isEmpty())
            env.programs << QLatin1String(p);
    return env;
}

std::optional<SoundCommand> chooseSoundCommand(const QString& file, const AudioEnvironment& env) {
    if (env.pulseServer && env.programs.contains(QLatin1String("paplay")))
        return SoundCommand{QStringLiteral("paplay"), {file}};
    const bool wav = file.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive);
    if (env.alsaDevice && wav && env.programs.contains(QLatin1String("aplay")))
        return SoundCommand{QStringLiteral("aplay"), {QStringLiteral("-q"), file}};
    return std::nullopt;
}

ProcessSoundPlayer::ProcessSoundPlayer(Chooser chooser) : m_chooser(std::move(chooser)) {
    if (!m_chooser) {
        m_chooser = [env = std::optional<AudioEnvironment>()](const QString& file) mutable {
            if (!env) env = AudioEnvironment::probe();
            return chooseSoundCommand(file, *env);
        };
    }
}

ProcessSoundPlayer::~ProcessSoundPlayer() {
    for (QProcess* p : std::as_const(m_running)) {
        p->disconnect();
        p->kill();
        p->waitForFinished(500);
        delete p;
    }
}

void ProcessSoundPlayer::fail(const QString& why) {
    if (m_failed) return;
    m_failed = true;
    writeLog(QStringLiteral("音を鳴らせません（以後は鳴らしません）: ") + why);
}

bool ProcessSoundPlayer::play(const QString& path, bool wait) {
    if (m_failed) return false;
    if (!QFileInfo(path).isFile()) return false;
    const std::optional<SoundCommand> command = m_chooser(path);
    if (!command) {
        if (path.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)) {
            fail(QStringLiteral("オーディオデバイスか再生プログラムがありません (") + path +
                 QLatin1Char(')'));
        } else if (!m_unplayable.contains(path)) {
            // Only this format is beyond the device's player; WAV files still play.
            m_unplayable.insert(path);
            writeLog(QStringLiteral("この形式の音は再生できません: ") + path);
        }
        return false;
    }
    if (!wait && m_running.size() >= kMaxRunning) return false;

    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [this, process] { finished(process); });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [this, process](QProcess::ProcessError e) {
                         if (e == QProcess::FailedToStart) finished(process);
                     });
    m_running << process;
    process->start(command->program, command->arguments);
    if (wait) process->waitForFinished(30000);
    return !m_failed;
}

void ProcessSoundPlayer::finished(QProcess* process) {
    if (!m_running.removeOne(process)) return;
    const bool failedToStart = process->error() == QProcess::FailedToStart;
    if (failedToStart || process->exitStatus() != QProcess::NormalExit ||
        process->exitCode() != 0) {
        const QString err =
            QString::fromLocal8Bit(process->readAllStandardError()).trimmed().section('\n', 0, 0);
        fail(process->program() + QStringLiteral(": ") +
             (failedToStart   ? process->errorString()
              : err.isEmpty() ? QStringLiteral("exit %1").arg(process->exitCode())
                              : err));
    }
    process->deleteLater();
}

} // namespace klavoro::x11
