#pragma once

#include <QString>

namespace klavoro {

// The largest allowed `max cnt`, and its default.
inline constexpr qint32 kStepCap = 15000;

// The settings record: one field per Conf.txt key, named after the key, with
// the key itself in the comment so that grepping the key finds the field.
// Integer keys are qint16, Long keys qint32, Single keys float, Text keys QString.
// The four window keys (form left ...) are not here: they live in the main
// window's geometry (see windowplacement.h).
// The record is process-wide, as every part of the program reads it.
struct Settings {
    // 表示情報
    qint16 dispMenu = 1; // disp menu
    qint32 dispTop = 0;  // disp top

    // 画像拡大倍率制限
    qint32 dispImgMinWidth = 2000; // disp img min width
    qint32 dispImgMaxWidth = 300;  // disp img max width
    qint32 dispImgValWidth = 300;  // disp img val width
    qint32 dispSmallChange = 10;   // disp small change
    qint32 dispLargeChange = 100;  // disp large change

    // 左マージン：手順リストボックス
    qint32 marginListboxMin = -50;  // margin listbox min
    qint32 marginListbox = -330;    // margin listbox
    qint32 marginListboxDef = -275; // margin listbox def

    // HTMLファイル作成
    qint32 html = 0;                   // html
    qint32 htmlBorder = 1;             // html border
    qint32 htmlBorderWeight = 3;       // html border weight
    qint32 htmlBorderColor = 0x808000; // html border color
    qint32 htmlBorderDouble = 0;       // html border double

    // MSワード文書作成
    qint32 wdocSetHyperlink = 1;  // wdoc set hyperlink
    qint32 wdocIndent = 2;        // wdoc indent
    qint32 wdocStyleHeading = -3; // wdoc style heading

    // サムネイル
    qint32 thumbnailWidth = 240;         // thumbnail width
    qint32 thumbnailHeight = 180;        // thumbnail height
    float thumbnailMag = 0.35f;          // thumbnail mag
    qint16 thumbnailChkSize = 2;         // thumbnail chk size
    qint32 thumbnailChkColor = 0xFFFFC0; // thumbnail chk color

    // キャプチャー情報
    qint32 target = 0;           // target
    qint32 rectLeft = -150;      // rect left
    qint32 rectTop = -100;       // rect top
    qint32 rectRight = 150;      // rect right
    qint32 rectBottom = 200;     // rect bottom
    qint32 rectPoint = 1;        // rect point
    qint32 rectPointColor = 255; // rect point color
    qint32 rectPointWidth = 2;   // rect point width
    qint32 rectPointRound = 5;   // rect point round
    qint32 noRectFile = 0;       // no rect file

    // ホットキー (Ctrl+Shift+letter)
    QString hotkey0 = QStringLiteral("Z"); // hotkey0
    QString hotkey1 = QStringLiteral("S"); // hotkey1
    QString hotkey2 = QStringLiteral("C"); // hotkey2
    QString hotkey3 = QStringLiteral("E"); // hotkey3
    QString hotkey4 = QStringLiteral("F"); // hotkey4
    QString hotkey5;                       // hotkey5

    // 取得情報
    qint32 mouseCursor = 1;                            // mouse cursor
    qint32 mouseOption = 1;                            // mouse option
    QString mouseFile = QStringLiteral("arrow_m.cur"); // mouse file
    qint32 noTooltip = 1;                              // no tooltip
    qint32 copyToClipboard = 0;                        // copy to clipboard
    qint32 captureSound = 0;                           // capture sound
    QString chime = QStringLiteral("chimes.wav");      // chime
    QString soundStart = QStringLiteral("notify.wav"); // sound start
    QString soundStop = QStringLiteral("chord.wav");   // sound stop
    qint32 saveFileFormat = 1;                         // save file format
    qint32 saveJpgQuality = 70;                        // save jpg quality
    QString saveFolderPath = QStringLiteral("data");   // save folder path
    qint32 maxCnt = kStepCap;                          // max cnt

    // 記録関連
    qint32 winWidthMax = 600;  // win width max
    qint32 winHeightMax = 400; // win height max
    qint32 captureTrans = 0;   // capture trans
    qint32 disp = 0;           // disp
    qint32 scrollbar = 1;      // scrollbar
    qint32 plainScale = 0;     // plain scale

    // 再生関連
    float playSpan = 2.0f;                                    // play span
    QString playSpeak = QStringLiteral("LH Naoko");           // play speak
    qint32 playSpeakSpeed = 0;                                // play speak speed
    qint32 playSpeakPhraseBracket = 0;                        // play speak phrase bracket
    QString playSpeakStartMsg = QStringLiteral("こんにちは"); // play speak start msg
    QString playSpeakEndMsg = QStringLiteral("Bye!");         // play speak end msg
    QString animeChar = QStringLiteral("マーリン");           // anime char
    QString animePlayStart = QStringLiteral("Gestureleft");   // anime play start
    QString animePlay = QStringLiteral("GetAttention");       // anime play
    QString animePlayEnd = QStringLiteral("Wave");            // anime play end
    QString balloonFont = QStringLiteral("MS Pゴシック");     // balloon font
    QString balloonFontsize = QStringLiteral("18");           // balloon fontsize

    // その他
    qint32 manualCaptureMouse = 1;                           // manual capture mouse
    float textMag = 1.0f;                                    // text mag
    float capMarginX = 80.0f;                                // cap marginX
    float capMarginY = 40.0f;                                // cap marginY
    qint32 splitterLeft = 300;                               // splitter left
    qint16 settingIndex = 0;                                 // setting index
    QString loadFiles = QStringLiteral("1");                 // load files
    qint32 autoStart = 0;                                    // auto start
    qint32 confirmAppend = 1;                                // confirm Append
    qint32 noConfirm = 0;                                    // no confirm
    qint32 noProgress = 0;                                   // no progress
    qint32 minimize = 0;                                     // minimize
    qint32 popupCounter = 0;                                 // popup counter
    qint32 tasktray = 0;                                     // tasktray
    qint32 transparent = 0;                                  // transparent
    QString editorPath;                                      // editor path
    qint32 iconBlink = 1;                                    // icon blink
    qint32 autoRestart = 1;                                  // auto restart
    qint32 keyRecord = 1;                                    // key record
    qint32 keyRecordChar = 1;                                // key record char
    qint32 keyCapture = 1;                                   // key capture
    qint32 noFormat = 3;                                     // no format
    qint32 noPeriod = 0;                                     // no period
    qint32 noWide = 0;                                       // no wide
    QString noChar = QStringLiteral("■ ");                   // no char
    QString dspPhraseDef = QStringLiteral("(無題)");         // dsp phrase def
    qint32 dspPhrase0 = 1;                                   // dsp phrase0
    qint32 dspPhrase1 = 1;                                   // dsp phrase1
    qint32 dspPhrase3 = 1;                                   // dsp phrase3
    qint32 dspPhrase4 = 1;                                   // dsp phrase4
    QString phrase2 = QStringLiteral("の");                  // phrase2
    QString phrase5 = QStringLiteral("を、");                // phrase5
    QString phrase7 = QStringLiteral("します。");            // phrase7
    QString brackets1 = QStringLiteral("[]");                // brackets1
    QString brackets2 = QStringLiteral("()");                // brackets2
    QString brackets3 = QStringLiteral("[]");                // brackets3
    QString brackets4 = QStringLiteral("()");                // brackets4
    qint32 abbLeft = 1;                                      // abb left
    QString phraseKey0 = QStringLiteral("キーを押します。"); // phrase key0
    QString phraseKey1 = QStringLiteral("を入力します。");   // phrase key1
    qint32 noShortcut = 1;                                   // no shortcut
    qint32 paragraph = 4;                                    // paragraph
    QString replaceStr = // replace str: pairs joined by U+0001, each "search" TAB "replacement"
        QStringLiteral("ウィンドウ\t\u0001コンテキスト\t\u0001メニュー項目\t\u0001テキスト");
    QString getTopWindow = // get top window
        QStringLiteral("Internet Explorer_Server,MozillaWindowClass,OperaWindowClass,"
                       "WebViewWindowClass,Chrome_RenderWidgetHostHWND");
    qint32 delay0 = 100;            // delay0
    qint32 delay1 = 200;            // delay1
    qint32 delay2 = 600;            // delay2
    qint32 reduce = 0;              // reduce
    qint32 timeAutoClose = 2;       // time auto close
    qint32 editWidth = 7665;        // edit width (twips)
    qint32 editHeight = 2205;       // edit height (twips)
    qint32 editMode = 0;            // edit mode
    qint32 editFontsize = 12;       // edit fontsize
    qint32 commandHistoryMax = 40;  // command history max
    qint32 commandHistoryRows = 7;  // command history rows
    qint16 waitTimeApActive = 2000; // wait time ap active
    qint32 redact = 1;              // redact: personal data boxed at capture
    qint32 redactPatterns = 15;     // redact patterns: 1 mail, 2 phone, 4 card, 8 individual number
    qint32 redactColor = 0;         // redact color (B,G,R)
    QString redactWords;            // redact words: entries joined by U+0001, "/re/" an expression

    // Held only in memory for the run, never written to Conf.txt.
    qint32 autoSave = 1;        // the automatic-save switch of the settings dialog
    qint32 thumbnailStatic = 0; // the fixed-thumbnail-size switch

    bool operator==(const Settings&) const = default;
};

Settings& conf();

} // namespace klavoro
