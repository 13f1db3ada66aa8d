#include "conftestdir.h"
#include "fakemainwindow.h"
#include "store/conffile.h"
#include "store/sjis.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

// One key line as the tables give it, padded in Shift-JIS bytes before a comment.
QString line(const char* key, const QString& value, const char* comment = nullptr) {
    QString text = QString::fromUtf8(key) + QStringLiteral(" = ") + value;
    if (!comment) return text;
    const int width = int(toShiftJis(text).size());
    return text + QString(std::max(0, 30 - width), ' ') + QStringLiteral(" // ") +
           QString::fromUtf8(comment);
}

QString group(const char* title) {
    return QStringLiteral("\n/* ") + QString::fromUtf8(title) + " */";
}

// The file the defaults give on a 1920 x 1080 screen, written out from the tables.
QByteArray referenceFile() {
    const QStringList lines = {
        QStringLiteral("exe name = klavoro"),
        QString(),
        group("表示情報"),
        line("disp menu", "1", "メニュー表示有無"),
        line("disp top", "0", "最前面表示"),
        group("画像拡大倍率制限"),
        line("disp img min width", "2000"),
        line("disp img max width", "300"),
        line("disp img val width", "300"),
        line("disp small change", "10", "拡大縮小変化値 最小"),
        line("disp large change", "100", "　最大"),
        group("左マージン：手順リストボックス"),
        line("margin listbox min", "-50", "最小値"),
        line("margin listbox", "-330", "最大値"),
        line("margin listbox def", "-275", "既定値"),
        group("HTMLファイル作成"),
        line("html", "0"),
        line("html border", "1", "画像枠有無"),
        line("html border weight", "3", "　太さ"),
        line("html border color", "8421376", "　色"),
        line("html border double", "0", "　0:単線 1:二重線"),
        group("MSワード文書作成"),
        line("wdoc set hyperlink", "1", "ハイパーリンク設置"),
        line("wdoc indent", "2", "段落インデント"),
        line("wdoc style heading", "-3", "段落スタイル -1:見出しスタイル１ -2:同スタイル２"),
        group("サムネイル"),
        line("thumbnail width", "240", "サムネイル幅(px)"),
        line("thumbnail height", "180", "　高さ(px)"),
        line("thumbnail mag", "0.35", "　拡大倍率"),
        line("thumbnail chk size", "2", "チェックボックスサイズ(1～7)"),
        line("thumbnail chk color", "0xFFFFC0", "　背景色(B,G,R)"),
        group("ウィンドウ状態"),
        line("form left", "1400"),
        line("form top", "650"),
        line("form right", "1900"),
        line("form bottom", "1050"),
        group("キャプチャー情報 対象/範囲/強調囲み等"),
        line("target", "0"),
        line("rect left", "-150"),
        line("rect top", "-100"),
        line("rect right", "150"),
        line("rect bottom", "200"),
        line("rect point", "1"),
        line("rect point color", "255"),
        line("rect point width", "2"),
        line("rect point round", "5"),
        QStringLiteral("no rect file =0"),
        group("ホットキー"),
        line("hotkey0", "Z"),
        line("hotkey1", "S"),
        line("hotkey2", "C"),
        line("hotkey3", "E"),
        line("hotkey4", "F"),
        line("hotkey5", ""),
        group("取得情報"),
        line("mouse cursor", "1"),
        line("mouse option", "1"),
        line("mouse file", "arrow_m.cur"),
        line("no tooltip", "1"),
        line("copy to clipboard", "0"),
        line("capture sound", "0"),
        line("chime", "chimes.wav"),
        line("sound start", "notify.wav"),
        line("sound stop", "chord.wav"),
        line("save file format", "1"),
        line("save jpg quality", "70"),
        line("save folder path", "data/"),
        line("max cnt", "15000"),
        group("記録関連"),
        line("win width max", "600"),
        line("win height max", "400"),
        line("capture trans", "0"),
        line("disp", "0"),
        line("scrollbar", "1"),
        line("plain scale", "0"),
        group("再生関連"),
        line("play span", "2"),
        line("play speak", "LH Naoko"),
        line("play speak speed", "0"),
        line("play speak phrase bracket", "0"),
        line("play speak start msg", "こんにちは"),
        line("play speak end msg", "Bye!"),
        line("anime char", "マーリン"),
        line("anime play start", "Gestureleft"),
        line("anime play", "GetAttention"),
        line("anime play end", "Wave"),
        line("balloon font", "MS Pゴシック"),
        line("balloon fontsize", "18"),
        group("その他"),
        line("manual capture mouse", "1"),
        line("text mag", "100%"),
        line("cap marginX", "80"),
        line("cap marginY", "40"),
        line("splitter left", "300"),
        line("setting index", "0"),
        line("load files", "1"),
        line("auto start", "0"),
        line("confirm Append", "1"),
        line("no confirm", "0"),
        line("no progress", "0"),
        line("minimize", "0"),
        line("popup counter", "0"),
        line("tasktray", "0"),
        line("transparent", "0"),
        line("editor path", ""),
        line("icon blink", "1"),
        line("auto restart", "1"),
        line("key record", "1"),
        line("key record char", "1"),
        line("key capture", "1"),
        line("no format", "3"),
        line("no period", "0"),
        line("no wide", "0"),
        line("no char", "■ "),
        line("dsp phrase def", "(無題)"),
        line("dsp phrase0", "1"),
        line("dsp phrase1", "1"),
        line("dsp phrase3", "1"),
        line("dsp phrase4", "1"),
        line("phrase2", "の"),
        line("phrase5", "を、"),
        line("phrase7", "します。"),
        line("brackets1", "[]"),
        line("brackets2", "()"),
        line("brackets3", "[]"),
        line("brackets4", "()"),
        line("abb left", "1"),
        line("phrase key0", "キーを押します。"),
        line("phrase key1", "を入力します。"),
        QStringLiteral("no shortcut= 1"),
        line("paragraph", "4"),
        line("replace str", QStringLiteral("ウィンドウ\t\u0001コンテキスト\t\u0001メニュー項目\t"
                                           "\u0001テキスト")),
        line("get top window", "Internet Explorer_Server,MozillaWindowClass,OperaWindowClass,"
                               "WebViewWindowClass,Chrome_RenderWidgetHostHWND"),
        line("delay0", "100"),
        line("delay1", "200"),
        line("delay2", "600"),
        line("reduce", "0"),
        line("time auto close", "2"),
        line("edit width", "7665"),
        line("edit height", "2205"),
        line("edit mode", "0"),
        line("edit fontsize", "12"),
        line("command history max", "40"),
        line("command history rows", "7"),
        line("wait time ap active", "2000"),
        line("redact", "1", "個人情報の塗りつぶし 0:しない 1:する"),
        line("redact patterns", "15", "　1:メール 2:電話番号 4:カード番号 8:個人番号 の和"),
        line("redact color", "0x0", "　塗りつぶし色(B,G,R)"),
        line("redact words", ""),
    };
    QString text = lines.join('\n') + '\n';
    text.replace('\n', QStringLiteral("\r\n"));
    return toShiftJis(text);
}

class ConfWrite : public ProgramFolderTest {};

} // namespace

TEST_F(ConfWrite, DefaultsOnAGivenScreenGiveTheReferenceFileByteForByte) {
    FakeMainWindow window(QSize(1920, 1080));
    ConfFile file(window, nullptr, QStringLiteral("klavoro"));
    Settings s;
    file.load(s); // no file: defaults, window placed at its default corner
    ASSERT_EQ(file.save(s), 0);
    const QByteArray written = readBytes(confPath());
    const QByteArray expected = referenceFile();
    // Line by line first, so that a difference names its line.
    const QList<QByteArray> got = written.split('\n'), want = expected.split('\n');
    for (qsizetype i = 0; i < std::min(got.size(), want.size()); ++i)
        ASSERT_EQ(got[i], want[i]) << "line " << i + 1;
    EXPECT_EQ(written, expected);
}

TEST_F(ConfWrite, SpecialLinesAreWrittenWithTheirExactBytes) {
    FakeMainWindow window;
    ConfFile file(window, nullptr, QStringLiteral("klavoro"));
    Settings s;
    s.textMag = 1.25f;
    s.thumbnailChkColor = 0x0000AB;
    ASSERT_EQ(file.save(s), 0);
    const QByteArray bytes = readBytes(confPath());
    EXPECT_TRUE(bytes.startsWith("exe name = klavoro\r\n\r\n\r\n/* "));
    EXPECT_TRUE(bytes.contains("\r\nwait time ap active = 2000\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\nredact words = \r\n"));
    // 13 columns, 17 blanks, then the comment.
    EXPECT_TRUE(bytes.contains("\r\ndisp menu = 1" + QByteArray(17, ' ') + " // " +
                               toShiftJis(QStringLiteral("メニュー表示有無")) + "\r\n"));
    // Upper-case hexadecimal without leading zeros, padded like any other line.
    EXPECT_TRUE(bytes.contains("\r\nthumbnail chk color = 0xAB     // "));
    EXPECT_TRUE(bytes.contains("\r\ntext mag = 125%\r\n"));
    EXPECT_TRUE(
        bytes.contains("\r\nreplace str = " + toShiftJis(QStringLiteral("ウィンドウ")) + "\t\x01"));
    EXPECT_FALSE(bytes.contains("\n\n"));           // no LF without CR
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF")); // no byte-order mark
}

TEST_F(ConfWrite, WriteFailuresGiveMinusOneAndKeepTheOldFile) {
    FakeMainWindow window;
    Settings s;
    // A folder in the way of the file: fails even for root.
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("Conf.txt")));
    ConfFile blocked(window, nullptr, QStringLiteral("klavoro"));
    EXPECT_EQ(blocked.save(s), -1);
    EXPECT_TRUE(QFileInfo(confPath()).isDir());
    EXPECT_TRUE(log().contains(toShiftJis(QStringLiteral("Conf.txt を保存できません"))));
}

TEST_F(ConfWrite, ReadOnlyProgramFolderGivesMinusOneWithoutCrashing) {
#ifdef _WIN32
    GTEST_SKIP() << "a read-only folder attribute does not protect its files on Windows";
#else
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
#endif
    FakeMainWindow window;
    Settings s;
    ConfFile file(window, nullptr, QStringLiteral("klavoro"));
    ASSERT_EQ(file.save(s), 0);
    const QByteArray before = readBytes(confPath());
    s.dispMenu = 0;
    QFile::setPermissions(home(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const int result = file.save(s);
    QFile::setPermissions(home(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(readBytes(confPath()), before);
}
