#include "tests/corpus/corpus.h"

namespace klavoro::corpus {

namespace {

// Roles in the design's numbering.
constexpr int kMenu = 11, kMenuItem = 12, kText = 42, kButton = 43, kCheck = 44, kCombo = 46,
              kPageTab = 37, kLink = 30;

Act click(int role, const QString& name, const QString& sentence, bool visible = true) {
    Act a;
    a.at = {role, name};
    a.sentence = sentence;
    a.visible = visible;
    return a;
}

Act clickAt(Target at, const QString& sentence, bool visible) {
    Act a;
    a.at = at;
    a.sentence = sentence;
    a.visible = visible;
    return a;
}

Act type(const QString& text, const QString& sentence) {
    Act a;
    a.kind = Act::Type;
    a.text = text;
    a.sentence = sentence;
    a.settleMs = 300;
    return a;
}

Act drag(Target from, Target to, const QString& pressSentence, const QString& sentence,
         Act::Kind kind = Act::Drag) {
    Act a;
    a.kind = kind;
    a.at = from;
    a.to = to;
    a.pressSentence = pressSentence;
    a.sentence = sentence;
    return a;
}

// A left and a right drag across one element: the press is a click step,
// the release the drag step, both named after that element.
QList<Act> dragsAcross(Target at, const QString& element) {
    Target from = at, to = at;
    from.fx = 0.2;
    to.fx = 0.8;
    return {drag(from, to, element + QStringLiteral("を、クリックします。"),
                 element + QStringLiteral("を、ドラッグします。")),
            drag(from, to, element + QStringLiteral("を、右クリックします。"),
                 element + QStringLiteral("を、右ドラッグします。"), Act::RightDrag)};
}

QStringList japanese() {
    return {QStringLiteral("LANGUAGE=ja"), QStringLiteral("LANG=C.UTF-8"),
            QStringLiteral("GTK_A11Y=atspi")};
}

App mousepad() {
    return {QStringLiteral("mousepad"),
            QStringLiteral("GTK 3"),
            QStringLiteral("mousepad"),
            {},
            japanese(),
            QStringLiteral("Mousepad"),
            {}};
}

// The settings dialog opened from the menu, up to its notebook's tabs.
QList<Act> openSettings() {
    return {click(kMenu, QStringLiteral("編集(E)"),
                  QStringLiteral("[編集](メニュー)を、クリックします。")),
            click(kMenuItem, QStringLiteral("設定..."),
                  QStringLiteral("[編集](メニュー)の[設定...]を、クリックします。"))};
}

// A GTK 3 notebook's tabs: a drag across one, and a click on a tab's
// padding, a little before its label (GTK 3 gives a tab its label's extents).
QList<Act> acrossTabs() {
    QList<Act> acts;
    acts << click(kPageTab, QStringLiteral("エディター"),
                  QStringLiteral("[エディター](タブ項目)を、クリックします。"))
         << dragsAcross({kPageTab, QStringLiteral("エディター")},
                        QStringLiteral("[エディター](タブ項目)"))
         << clickAt({kPageTab, QStringLiteral("ファイル"), -0.12, 0.5},
                    QStringLiteral("[ファイル](タブ項目)を、クリックします。"), true);
    return acts;
}

// GTK 3 editor with a notebook of documents, menus and a settings dialog.
App editorGtk3(bool small) {
    App app = mousepad();
    app.acts << click(kMenu, QStringLiteral("ファイル(F)"),
                      QStringLiteral("[ファイル](メニュー)を、クリックします。"))
             << click(kMenuItem, QStringLiteral("新規作成(N)"),
                      QStringLiteral("[ファイル](メニュー)の[新規作成]を、クリックします。"));
    const QString second = QStringLiteral("[無題 2 - Mousepad]");
    app.acts << clickAt({kText, QString(), 0.5, 0.5},
                        second + QStringLiteral("の(テキスト)を、クリックします。"), false)
             << type(QStringLiteral("Hello world"),
                     QStringLiteral("\"Hello world\"を入力します。"));
    if (small) return app;
    const QString edited = QStringLiteral("[*無題 2 - Mousepad]");
    app.acts << drag({kText, QString(), 0.02, 0.03}, {kText, QString(), 0.3, 0.03},
                     edited + QStringLiteral("の(テキスト)を、クリックします。"),
                     edited + QStringLiteral("の(テキスト)を、ドラッグします。"))
             << openSettings()
             << click(kCheck, QStringLiteral("行番号を表示する"),
                      QStringLiteral("[行番号を表示する](チェックボタン)を、クリックします。"))
             << acrossTabs();
    return app;
}

// GTK 3 calculator: keys, a menu that changes the whole window.
App calculatorGtk3() {
    App app{QStringLiteral("galculator"),
            QStringLiteral("GTK 3"),
            QStringLiteral("galculator"),
            {},
            japanese(),
            QStringLiteral("galculator"),
            {}};
    for (const char* key : {"7", "+", "8", "="}) {
        const QString k = QString::fromUtf8(key);
        app.acts << click(kButton, k, QStringLiteral("[%1](ボタン)を、クリックします。").arg(k),
                          k != QLatin1String("+"));
    }
    app.acts << click(kMenu, QStringLiteral("表示(V)"),
                      QStringLiteral("[表示](メニュー)を、クリックします。"))
             << click(kMenuItem, QStringLiteral("科学計算モード(S)"),
                      QStringLiteral("[表示](メニュー)の[科学計算モード]を、クリックします。"))
             << dragsAcross({kButton, QStringLiteral("7")}, QStringLiteral("[7](ボタン)"));
    return app;
}

// GTK 4 calculator: window coordinates, labels repeated in names, a popover.
App calculatorGtk4(bool small) {
    App app{QStringLiteral("gnome-calculator"),
            QStringLiteral("GTK 4"),
            QStringLiteral("gnome-calculator"),
            {},
            japanese(),
            QStringLiteral("電卓"),
            {}};
    QStringList keys = {QStringLiteral("7"), QStringLiteral("×"), QStringLiteral("8"),
                        QStringLiteral("=")};
    if (small) keys = {QStringLiteral("7"), QStringLiteral("=")};
    for (const QString& k : keys)
        app.acts << click(kButton, k + u' ' + k,
                          QStringLiteral("[%1](ボタン)を、クリックします。").arg(k),
                          k != QLatin1String("×"));
    if (!small)
        app.acts << dragsAcross({kButton, QStringLiteral("8 8")}, QStringLiteral("[8](ボタン)"));
    return app;
}

// Qt 5 editor (its interface stays English here): menus and the text area.
App editorQt5(bool small) {
    App app{QStringLiteral("featherpad"),
            QStringLiteral("Qt 5"),
            QStringLiteral("featherpad"),
            {},
            japanese(),
            QStringLiteral("Untitled"),
            {}};
    app.acts << click(kMenuItem, QStringLiteral("File"),
                      QStringLiteral("[File](メニュー)を、クリックします。"))
             << click(kMenuItem, QStringLiteral("New"),
                      QStringLiteral("[File](メニュー)の[New]を、クリックします。"))
             << clickAt({kText, QString(), 0.5, 0.5},
                        QStringLiteral("[Untitled]の(テキスト)を、クリックします。"), false);
    if (small) return app;
    app.acts << type(QStringLiteral("abc def"), QStringLiteral("\"abc def\"を入力します。"))
             << drag({kText, QString(), 0.02, 0.03}, {kText, QString(), 0.4, 0.03},
                     QStringLiteral("[*Untitled]の(テキスト)を、クリックします。"),
                     QStringLiteral("[*Untitled]の(テキスト)を、ドラッグします。"))
             << drag({kText, QString(), 0.1, 0.5}, {kText, QString(), 0.4, 0.5},
                     QStringLiteral("[*Untitled]の(テキスト)を、右クリックします。"),
                     QStringLiteral("[*Untitled]の(テキスト)を、右ドラッグします。"),
                     Act::RightDrag);
    return app;
}

// Qt 5 calculator in Japanese: menus with lower-case and spaced marks.
App calculatorQt5() {
    App app{QStringLiteral("speedcrunch"),
            QStringLiteral("Qt 5"),
            QStringLiteral("speedcrunch"),
            {},
            japanese(),
            QStringLiteral("SpeedCrunch"),
            {}};
    app.acts << click(kMenuItem, QStringLiteral("表示(V)"),
                      QStringLiteral("[表示](メニュー)を、クリックします。"))
             << click(kMenuItem, QStringLiteral("ステータスバー(S)"),
                      QStringLiteral("[表示](メニュー)の[ステータスバー]を、クリックします。"))
             << click(kMenuItem, QStringLiteral("設定(t)"),
                      QStringLiteral("[設定](メニュー)を、クリックします。"))
             << click(kMenuItem, QStringLiteral("結果とフォーマット(F)"),
                      QStringLiteral("[設定](メニュー)の[結果とフォーマット]を、クリックします。"));
    return app;
}

// Qt 6 translation tool in Japanese: menus with marks, a message box
// closed by its button, a tool bar's check buttons (a right press there
// opens the main window's context menu).
App linguistQt6() {
    App app{QStringLiteral("linguist"),
            QStringLiteral("Qt 6"),
            QStringLiteral("/usr/lib/qt6/bin/linguist"),
            {},
            japanese(),
            QStringLiteral("Qt Linguist"),
            {}};
    app.acts << click(kMenuItem, QStringLiteral("ヘルプ(H)"),
                      QStringLiteral("[ヘルプ](メニュー)を、クリックします。"))
             << click(kMenuItem, QStringLiteral("Qt Linguist について"),
                      QStringLiteral("[ヘルプ](メニュー)の[Qt Linguist について]を、クリックします。"))
             << click(kButton, QStringLiteral("OK"), QStringLiteral("[OK](ボタン)を、クリックします。"))
             << click(kCheck, QStringLiteral("アクセラレータの確認(A)"),
                      QStringLiteral("[検証](ツールバー)の[アクセラレータの確認](チェックボタン)を、"
                                     "クリックします。"))
             << dragsAcross({kCheck, QStringLiteral("末尾の句読点(E)")},
                            QStringLiteral("[検証](ツールバー)の[末尾の句読点](チェックボタン)"));
    return app;
}

// A form in Chromium, a local page: labels, a drop-down list, a link.
App formChromium(bool small) {
    App app{QStringLiteral("chromium form"),
            QStringLiteral("Chromium"),
            QStringLiteral("chromium"),
            {QStringLiteral("--no-sandbox"), QStringLiteral("--force-renderer-accessibility"),
             QStringLiteral("--no-first-run"), QStringLiteral("--disable-gpu"),
             QStringLiteral("--window-size=900,700"), QStringLiteral("--window-position=60,40"),
             QStringLiteral("--app=file://" KLAVORO_CORPUS_DIR "/form.html")},
            {QStringLiteral("LANGUAGE=ja")},
            QStringLiteral("会員登録"),
            {}};
    app.acts << click(kText, QStringLiteral("氏名(N):"),
                      QStringLiteral("[氏名]を、クリックします。"))
             << type(QStringLiteral("Taro"), QStringLiteral("(氏名)で\"Taro\"を入力します。"))
             << click(kCheck, QStringLiteral("利用規約に同意する"),
                      QStringLiteral("[利用規約に同意する](チェックボタン)を、クリックします。"));
    if (small) return app;
    app.acts << click(kText, QStringLiteral("備考:"), QStringLiteral("[備考]を、クリックします。"))
             << type(QStringLiteral("Yoroshiku"),
                     QStringLiteral("(備考)で\"Yoroshiku\"を入力します。"))
             << click(kButton, QStringLiteral("登録"),
                      QStringLiteral("[登録](ボタン)を、クリックします。"))
             << dragsAcross({kButton, QStringLiteral("登録")}, QStringLiteral("[登録](ボタン)"))
             << click(kLink, QStringLiteral("詳しい説明"),
                      QStringLiteral("[詳しい説明](ハイパーリンク)を、クリックします。"))
             << click(kCombo, QStringLiteral("プラン:"),
                      QStringLiteral("[プラン](コンボボックス)を、クリックします。"));
    return app;
}

} // namespace

App notebookTabsGtk3() {
    App app = mousepad();
    app.acts << openSettings() << acrossTabs();
    return app;
}

QList<App> corpusApps(bool small) {
    if (small) return {editorGtk3(true), calculatorGtk4(true), editorQt5(true), formChromium(true)};
    return {editorGtk3(false), calculatorGtk3(), calculatorGtk4(false), editorQt5(false),
            calculatorQt5(),   linguistQt6(),    formChromium(false)};
}

} // namespace klavoro::corpus
