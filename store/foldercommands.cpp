#include "store/foldercommands.h"

#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "store/pathops.h"
#include "store/settings.h"

#include <QFileInfo>

namespace klavoro {
namespace {
const QString kNoRect = QStringLiteral("NO_RECT");
const QString kTitle = QStringLiteral("クラヴォロ");

QString withoutTrailingSeparators(QString s) {
    while (s.size() > 1 && s.endsWith('/'))
        s.chop(1);
    return s;
}
} // namespace

bool isUnmarkedFolder(const QString& path) {
    const QString f = withoutTrailingSeparators(path);
    return fileNameOf(f).compare(kNoRect, Qt::CaseInsensitive) == 0;
}

FolderCommands::FolderCommands(Dialogs& dialogs, std::function<void()> reload)
    : m_dialogs(dialogs), m_reload(std::move(reload)) {}

void FolderCommands::chooseFolder(const QString& chosen, bool storeRelative) {
    if (chosen.isEmpty()) return;
    conf().saveFolderPath = storeRelative ? unquote(relativePath(chosen)) : chosen;
    m_reload();
}

void FolderCommands::resetToDefault() {
    const QString def = QStringLiteral("data");
    if (!m_dialogs.askYesNo(QStringLiteral("データの保存先を、既定値「") + def +
                                QStringLiteral("」 に戻して宜しいですか？。"),
                            QStringLiteral("保存先変更"), false))
        return;
    conf().saveFolderPath = def;
    m_reload();
    m_dialogs.message(QStringLiteral("保存先フォルダーを「") + def +
                          QStringLiteral("」 に戻しました。"),
                      QStringLiteral("保存先変更"));
}

void FolderCommands::switchToUnmarked() {
    const QString f = withoutTrailingSeparators(conf().saveFolderPath);
    if (isUnmarkedFolder(f)) {
        m_dialogs.message(QStringLiteral("既に ") + f + QStringLiteral(" です！"), kTitle);
        return;
    }
    // An empty setting means the capture base folder: its NO_RECT is relative too.
    const QString candidate = f.isEmpty() ? kNoRect : f + '/' + kNoRect;
    if (QFileInfo(resolvePath(candidate)).isDir()) {
        conf().saveFolderPath = candidate;
        m_reload();
        return;
    }
    m_dialogs.message(kNoRect + QStringLiteral("/ は、まだ作成されていません！\r\n\r\n"
                                               "設定→キャプチャー→原画像も保存する "
                                               "をオンにした状態で記録した場合に作成されます。"),
                      kTitle);
}

void FolderCommands::switchBackFromUnmarked() {
    const QString path = conf().saveFolderPath;
    const QString f = withoutTrailingSeparators(path);
    if (!isUnmarkedFolder(f)) {
        m_dialogs.message(QStringLiteral("既に既定のフォルダ ") + f + QStringLiteral(" です！"),
                          kTitle);
        return;
    }
    const QString trailing = path.mid(f.size()); // keep a trailing separator where one follows
    QString parent = f.left(f.size() - kNoRect.size());
    if (parent.endsWith('/') && parent.size() > 1) parent.chop(1);
    conf().saveFolderPath = parent.isEmpty() ? parent : parent + trailing;
    m_reload();
}

bool FolderCommands::checkUnmarkedFolder() {
    if (conf().confirmAppend != 1 || !isUnmarkedFolder(captureFolder())) return false;
    if (!m_dialogs.askYesNo(
            QStringLiteral("現在のフォルダは囲み無しファイル保存用の ") + kNoRect +
                QStringLiteral("/ となっています。\r\n\r\n既定のフォルダを切り替えますか？"),
            QStringLiteral("保存先フォルダの確認"), true))
        return false;
    switchBackFromUnmarked();
    return true;
}

} // namespace klavoro
