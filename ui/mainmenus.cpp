#include "ui/mainmenus.h"

#include "ui/commandmap.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace klavoro {

const QList<MenuTable>& mainMenuTables() {
    static const QList<MenuTable> tables = {
        {"mnuFileTop",
         "ファイル",
         false,
         {
             {"mnuShowFolder", "保存先フォルダを開く"},
             {"mnuChangeFolder", "保存先フォルダの変更"},
             {"mnuChangeNoRectFolder", "囲み無し画像フォルダ(NO_RECT)に切替"},
             {"mnuChangeDefaultFolder", "既定のフォルダに戻す"},
             {"-", ""},
             {"mnuReload", "再読み込み", "F5"},
             {"mnuLoadImgFiles", "管理ファイル新規作成（画像ファイルから）"},
             {"mnuFileCheck", "ファイルチェック"},
             {"mnuSaveNameAs", "個別保存（画像）"},
             {"-", ""},
             {"mnuMakeHtml", "HTMLファイル作成"},
             {"mnuMakeRichText", "リッチテキスト作成"},
             {"mnuMakeWordDoc", "MSワード文書作成"},
             {"mnuMakePdf", "PDFファイル作成"},
             {"mnuMakeMarkdown", "Markdownファイル作成"},
             {"-", ""},
             {"mnuEnd2", "終了"},
         }},
        {"mnuRecordTop",
         "記録",
         false,
         {
             {"mnuGo_0", "開始"},
             {"mnuGo_1", "開始（手動キャプチャー）"},
             {"mnuStop", "停止  Ctrl+F2"},
         }},
        {"mnuEditTop",
         "編集",
         false,
         {
             {"mnuTextEdit", "テキスト編集"},
             {"mnuMove_0", "前に移動"},
             {"mnuMove_1", "後に移動"},
             {"-", ""},
             {"mnuDel", "削除 - 選択画像"},
             {"mnuLeftDel", "削除 - 左側（選択含）"},
             {"mnuRightDel", "削除 - 右側（選択含）"},
             {"mnuDelCheck", "削除 - チェック項目"},
             {"mnuAllDel", "全て削除"},
             {"-", ""},
             {"mnuSearch", "検索 - リスト内文言検索", "Ctrl+F"},
         }},
        {"mnuPlayTop",
         "再生",
         false,
         {
             {"mnuPlayFromCurrent", "再生 - 選択位置から"},
             {"mnuPlayFromTop", "再生 - 先頭から"},
         }},
        {"mnuViewTop",
         "表示",
         false,
         {
             {"mnuThumbListSize_0", "サムネイルサイズ＋"},
             {"mnuThumbListSize_1", "サムネイルサイズ－"},
             {"-", ""},
             {"mnuThumbListCheckAll_0", "全てチェック OFF"},
             {"mnuThumbListCheckAll_1", "全てチェック ON"},
         }},
        {"mnuToolTop",
         "ツール",
         false,
         {
             {"mnuSetting", "設定"},
             {"mnuFormatSetting", "「操作説明」フォーマット設定"},
             {"mnuConfOpen", "設定ファイル(Conf.txt)を編集＆適用"},
         }},
        {"mnuHelpTop",
         "ヘルプ",
         false,
         {
             {"mnuHint", "ホットキー一覧"},
             {"mnuVersion", "バージョン情報"},
         }},
        // Shown by a double click on the step number.
        {"mnuDebugTop",
         "デバッグ",
         false,
         {
             {"mnuDebugLog", "ログファイルを開く"},
         }},
        {"mnuList",
         nullptr,
         true,
         {
             {"mnuListCopy", "コピー（テキスト）"},
             {"mnuListAllCopy", "全てコピー（テキスト）"},
             {"-", ""},
             {"mnuListSearch", "検索 - リスト内文言検索"},
             {"mnuTextEdit", "テキスト編集"},
             {"sub:mnuListMove", "移動"},
             {"mnuListMove_0", "前に移動", "Ctrl+Up"},
             {"mnuListMove_1", "後に移動", "Ctrl+Down"},
             {"mnuListMove_2", "先頭に移動"},
             {"mnuListMove_3", "末尾に移動"},
             {"end", ""},
             {"-", ""},
             {"mnuListDel", "選択項目を削除"},
             {"mnuListUpperDel", "削除 - 上側（選択含）"},
             {"mnuListLowerDel", "削除 - 下側（選択含）"},
             {"mnuListDelCheck", "削除 - チェック項目"},
             {"mnuListAllDell", "全て削除"},
             {"-", ""},
             {"mnuListPlayFromCurrent", "再生 - 選択位置から"},
             {"mnuListPlayFromTop", "再生 - 先頭から"},
             {"-", ""},
             {"mnuListMakeHtml", "HTMLファイル作成"},
             {"mnuListMakeRichText", "リッチテキスト作成"},
             {"mnuListMakeWordDoc", "MSワード文書作成"},
             {"mnuListMakePdf", "PDFファイル作成"},
             {"mnuListMakeMarkdown", "Markdownファイル作成"},
             {"-", ""},
             {"mnuListChangeNoRectFolder", "囲み無し画像フォルダ(NO_RECT)に切替"},
             {"mnuListChangeDefaultFolder", "既定のフォルダに戻す"},
             {"-", ""},
             {"mnuListSetting", "設定"},
         }},
        {"mnuPicList",
         nullptr,
         true,
         {
             {"mnuPicListShowFolder", "保存先フォルダを開く"},
             {"mnuPicListChangeFolder", "保存先フォルダの変更"},
             {"mnuPicListResetFolder", "保存先を既定値（data）に戻す"},
             {"-", ""},
             {"mnuSaveNameAs", "個別保存（画像）"},
             {"-", ""},
             {"mnuPicListRedact", "範囲を塗りつぶす"},
         }},
        {"mnuThumbList",
         nullptr,
         true,
         {
             {"mnuThumbListCheckAll_0", "全てチェック OFF"},
             {"mnuThumbListCheckAll_1", "全てチェック ON"},
             {"-", ""},
             {"mnuThumbListSize_0", "サムネイルサイズ＋"},
             {"mnuThumbListSize_1", "サムネイルサイズ－"},
         }},
        // The window's own pop-up: the tray icon's right click.
        {"mnuMain",
         nullptr,
         true,
         {
             {"mnuGo_0", "開始"},
             {"mnuGo_1", "開始（手動キャプチャー）"},
             {"mnuStop", "停止  Ctrl+F2"},
             {"-", ""},
             {"mnuPlay_0", "再生（先頭から）"},
             {"mnuPlay_1", "再生（選択位置から）"},
             {"-", ""},
             {"mnuSetting", "設定"},
             {"mnuEnd2", "終了"},
         }},
    };
    return tables;
}

MainMenus::MainMenus(QWidget* owner, QMenuBar* bar, CommandMap& commands) : m_commands(commands) {
    for (const MenuTable& table : mainMenuTables()) {
        QMenu* menu =
            table.popup ? new QMenu(owner) : bar->addMenu(QString::fromUtf8(table.caption));
        menu->setObjectName(QString::fromUtf8(table.name));
        m_menus.insert(menu->objectName(), menu);
        QMenu* target = menu;
        for (const MenuEntry& e : table.entries) {
            const QString name = QString::fromUtf8(e.name);
            if (name == QLatin1String("-")) {
                target->addSeparator();
            } else if (name.startsWith(QLatin1String("sub:"))) {
                target = menu->addMenu(QString::fromUtf8(e.caption));
                target->setObjectName(name.mid(4));
                m_menus.insert(target->objectName(), target);
            } else if (name == QLatin1String("end")) {
                target = menu;
            } else {
                QAction* action = m_actions.value(name);
                if (!action) {
                    action = new QAction(QString::fromUtf8(e.caption), owner);
                    action->setObjectName(name);
                    if (e.shortcut) {
                        action->setShortcut(QKeySequence(QString::fromUtf8(e.shortcut)));
                        // Shortcuts of pop-up entries work only where their view has the focus.
                        action->setShortcutContext(table.popup ? Qt::WidgetWithChildrenShortcut
                                                               : Qt::WindowShortcut);
                    }
                    QObject::connect(action, &QAction::triggered, owner,
                                     [this, name] { m_commands.run(name); });
                    m_actions.insert(name, action);
                }
                target->addAction(action);
            }
        }
    }
}

void MainMenus::updateStates(const std::function<bool(const QString&)>& allowed) {
    for (auto it = m_actions.begin(); it != m_actions.end(); ++it)
        it.value()->setEnabled(m_commands.contains(it.key()) && (!allowed || allowed(it.key())));
}

} // namespace klavoro
