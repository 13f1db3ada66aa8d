#include "store/commandlinehelp.h"

#include "store/capturefolder.h"

namespace klavoro {

InfoRequest infoRequest(const QStringList& arguments) {
    for (const QString& a : arguments) {
        const QString word = a.trimmed().toLower();
        if (word == QLatin1String("-help") || word == QLatin1String("--help") ||
            word == QLatin1String("-h"))
            return InfoRequest::Help;
        if (word == QLatin1String("-version") || word == QLatin1String("--version"))
            return InfoRequest::Version;
    }
    return InfoRequest::None;
}

QString commandLineHelp(const QString& programName) {
    struct Option {
        const char* names;
        const char* japanese;
        const char* english;
    };
    static const Option kOptions[] = {
        {"-auto, -a", "起動後すぐに記録を開始します", "start recording right away"},
        {"-new, -append", "記録開始時、確認せずに既存の手順を置き換える／残す",
         "at the start of recording, replace or keep the steps without asking"},
        {"-savepath FOLDER", "今回の記録の保存先フォルダー (空白可、引用符は除かれます)",
         "record into FOLDER for this run (blanks allowed, quotes removed)"},
        {"-autosave", "キャプチャーを毎回ファイルに保存します", "save every capture to a file"},
        {"-minimize, -min", "最小化して起動します", "start minimised"},
        {"-tasktray, -tray", "記録中はウィンドウを通知領域に収納します",
         "while recording, keep the window in the notification area"},
        {"-novisible", "ウィンドウを表示しません", "keep the window hidden"},
        {"-mouse", "マウスポインターを描き込みます", "draw the pointer into the captures"},
        {"-clipboard", "キャプチャーをクリップボードにコピーします",
         "copy each capture to the clipboard"},
        {"-sound", "キャプチャー音を鳴らします", "play the capture sounds"},
        {"-hwnd N", "ウィンドウ N (X のウィンドウ ID) が閉じたら終了します (0: 監視しない)",
         "end when the window N (an X window id) closes (0: watch nothing)"},
        {"-debug", "診断情報を出力します", "extra diagnostic output"},
        {"-help, --help", "この説明を表示して終了します", "show this help and exit"},
        {"-version", "バージョンを表示して終了します", "show the version and exit"},
    };
    QString out =
        QStringLiteral("使い方: %1 [オプション]\nUsage: %1 [options]\n\n").arg(programName);
    for (const Option& o : kOptions) {
        out += QStringLiteral("  %1\n      %2\n      %3\n")
                   .arg(QLatin1String(o.names), QString::fromUtf8(o.japanese),
                        QLatin1String(o.english));
    }
    out += QStringLiteral(
        "\nオプションは今回の起動にだけ効き、Conf.txt の設定は変わりません。\n"
        "Options hold for this run only; Conf.txt keeps your settings.\n"
        "環境変数 KLAVORO_HOME を指定すると、設定・ログ・保存先をそのフォルダーにまとめます。\n"
        "KLAVORO_HOME names one folder for the settings, the logs and the captures.\n"
        "インストール版は設定とログを $XDG_CONFIG_HOME/klavoro (~/.config/klavoro) に、\n"
        "記録を $XDG_DATA_HOME/klavoro (~/.local/share/klavoro) に置きます。\n"
        "An installed copy keeps its settings and logs in $XDG_CONFIG_HOME/klavoro\n"
        "(~/.config/klavoro) and its captures in $XDG_DATA_HOME/klavoro "
        "(~/.local/share/klavoro).\n");
    return out;
}

QString versionLine() {
    return QStringLiteral("クラヴォロ (klavoro) ") + versionText();
}

} // namespace klavoro
