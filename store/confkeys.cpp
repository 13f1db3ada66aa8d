#include "store/confkeys.h"

#include <QHash>

namespace klavoro {
namespace {

using S = Settings;
using R = ConfRead;
using Lay = ConfLayout;

template <typename T>
constexpr ConfKey key(const char* name, T S::*field, const char* comment = nullptr,
                      ConfRead read = R::Plain, ConfLayout layout = Lay::Normal) {
    return ConfKey{name, ConfField(field), comment, read, layout, WindowEdge::None};
}

constexpr ConfKey windowKey(const char* name, WindowEdge edge) {
    return ConfKey{name, ConfField(), nullptr, R::Window, Lay::Normal, edge};
}

const ConfKey kDisplay[] = {
    key("disp menu", &S::dispMenu, "メニュー表示有無"),
    key("disp top", &S::dispTop, "最前面表示"),
};

const ConfKey kZoom[] = {
    key("disp img min width", &S::dispImgMinWidth),
    key("disp img max width", &S::dispImgMaxWidth),
    key("disp img val width", &S::dispImgValWidth),
    key("disp small change", &S::dispSmallChange, "拡大縮小変化値 最小"),
    key("disp large change", &S::dispLargeChange, "　最大"),
};

const ConfKey kMargin[] = {
    key("margin listbox min", &S::marginListboxMin, "最小値"),
    key("margin listbox", &S::marginListbox, "最大値"),
    key("margin listbox def", &S::marginListboxDef, "既定値"),
};

const ConfKey kHtml[] = {
    key("html", &S::html),
    key("html border", &S::htmlBorder, "画像枠有無"),
    key("html border weight", &S::htmlBorderWeight, "　太さ"),
    key("html border color", &S::htmlBorderColor, "　色"),
    key("html border double", &S::htmlBorderDouble, "　0:単線 1:二重線"),
};

const ConfKey kWord[] = {
    key("wdoc set hyperlink", &S::wdocSetHyperlink, "ハイパーリンク設置"),
    key("wdoc indent", &S::wdocIndent, "段落インデント"),
    key("wdoc style heading", &S::wdocStyleHeading,
        "段落スタイル -1:見出しスタイル１ -2:同スタイル２"),
};

const ConfKey kThumbnail[] = {
    key("thumbnail width", &S::thumbnailWidth, "サムネイル幅(px)"),
    key("thumbnail height", &S::thumbnailHeight, "　高さ(px)"),
    key("thumbnail mag", &S::thumbnailMag, "　拡大倍率"),
    key("thumbnail chk size", &S::thumbnailChkSize, "チェックボックスサイズ(1～7)"),
    key("thumbnail chk color", &S::thumbnailChkColor, "　背景色(B,G,R)", R::HexColor,
        Lay::HexWithPrefix),
};

const ConfKey kWindow[] = {
    windowKey("form left", WindowEdge::Left),
    windowKey("form top", WindowEdge::Top),
    windowKey("form right", WindowEdge::Right),
    windowKey("form bottom", WindowEdge::Bottom),
};

const ConfKey kCapture[] = {
    key("target", &S::target),
    key("rect left", &S::rectLeft),
    key("rect top", &S::rectTop),
    key("rect right", &S::rectRight),
    key("rect bottom", &S::rectBottom),
    key("rect point", &S::rectPoint),
    key("rect point color", &S::rectPointColor),
    key("rect point width", &S::rectPointWidth),
    key("rect point round", &S::rectPointRound),
    key("no rect file", &S::noRectFile, nullptr, R::Plain, Lay::NoBlankAfterEquals),
};

const ConfKey kHotKeys[] = {
    key("hotkey0", &S::hotkey0), key("hotkey1", &S::hotkey1), key("hotkey2", &S::hotkey2),
    key("hotkey3", &S::hotkey3), key("hotkey4", &S::hotkey4), key("hotkey5", &S::hotkey5),
};

const ConfKey kAcquire[] = {
    key("mouse cursor", &S::mouseCursor),
    key("mouse option", &S::mouseOption),
    key("mouse file", &S::mouseFile),
    key("no tooltip", &S::noTooltip),
    key("copy to clipboard", &S::copyToClipboard),
    key("capture sound", &S::captureSound),
    key("chime", &S::chime),
    key("sound start", &S::soundStart),
    key("sound stop", &S::soundStop),
    key("save file format", &S::saveFileFormat),
    key("save jpg quality", &S::saveJpgQuality),
    key("save folder path", &S::saveFolderPath, nullptr, R::FolderPath),
    key("max cnt", &S::maxCnt, nullptr, R::StepCap),
};

const ConfKey kRecording[] = {
    key("win width max", &S::winWidthMax),  key("win height max", &S::winHeightMax),
    key("capture trans", &S::captureTrans), key("disp", &S::disp),
    key("scrollbar", &S::scrollbar),        key("plain scale", &S::plainScale),
};

const ConfKey kPlayback[] = {
    key("play span", &S::playSpan),
    key("play speak", &S::playSpeak),
    key("play speak speed", &S::playSpeakSpeed, nullptr, R::WholeNumber),
    key("play speak phrase bracket", &S::playSpeakPhraseBracket),
    key("play speak start msg", &S::playSpeakStartMsg),
    key("play speak end msg", &S::playSpeakEndMsg),
    key("anime char", &S::animeChar),
    key("anime play start", &S::animePlayStart),
    key("anime play", &S::animePlay),
    key("anime play end", &S::animePlayEnd),
    key("balloon font", &S::balloonFont),
    key("balloon fontsize", &S::balloonFontsize, nullptr, R::NumberText),
};

const ConfKey kOther[] = {
    key("manual capture mouse", &S::manualCaptureMouse),
    key("text mag", &S::textMag, nullptr, R::Percent, Lay::Percent),
    key("cap marginX", &S::capMarginX),
    key("cap marginY", &S::capMarginY),
    key("splitter left", &S::splitterLeft),
    key("setting index", &S::settingIndex),
    key("load files", &S::loadFiles, nullptr, R::NumberText),
    key("auto start", &S::autoStart),
    key("confirm Append", &S::confirmAppend),
    key("no confirm", &S::noConfirm),
    key("no progress", &S::noProgress),
    key("minimize", &S::minimize),
    key("popup counter", &S::popupCounter),
    key("tasktray", &S::tasktray),
    key("transparent", &S::transparent),
    key("editor path", &S::editorPath),
    key("icon blink", &S::iconBlink),
    key("auto restart", &S::autoRestart),
    key("key record", &S::keyRecord),
    key("key record char", &S::keyRecordChar),
    key("key capture", &S::keyCapture),
    key("no format", &S::noFormat),
    key("no period", &S::noPeriod),
    key("no wide", &S::noWide),
    key("no char", &S::noChar),
    key("dsp phrase def", &S::dspPhraseDef),
    key("dsp phrase0", &S::dspPhrase0),
    key("dsp phrase1", &S::dspPhrase1),
    key("dsp phrase3", &S::dspPhrase3),
    key("dsp phrase4", &S::dspPhrase4),
    key("phrase2", &S::phrase2),
    key("phrase5", &S::phrase5),
    key("phrase7", &S::phrase7),
    key("brackets1", &S::brackets1),
    key("brackets2", &S::brackets2),
    key("brackets3", &S::brackets3),
    key("brackets4", &S::brackets4),
    key("abb left", &S::abbLeft),
    key("phrase key0", &S::phraseKey0),
    key("phrase key1", &S::phraseKey1),
    key("no shortcut", &S::noShortcut, nullptr, R::WholeNumber, Lay::NoBlankBeforeEquals),
    key("paragraph", &S::paragraph),
    key("replace str", &S::replaceStr),
    key("get top window", &S::getTopWindow),
    key("delay0", &S::delay0),
    key("delay1", &S::delay1),
    key("delay2", &S::delay2),
    key("reduce", &S::reduce),
    key("time auto close", &S::timeAutoClose),
    key("edit width", &S::editWidth),
    key("edit height", &S::editHeight),
    key("edit mode", &S::editMode),
    key("edit fontsize", &S::editFontsize),
    key("command history max", &S::commandHistoryMax),
    key("command history rows", &S::commandHistoryRows),
    key("wait time ap active", &S::waitTimeApActive),
    key("redact", &S::redact, "個人情報の塗りつぶし 0:しない 1:する"),
    key("redact patterns", &S::redactPatterns,
        "　1:メール 2:電話番号 4:カード番号 8:個人番号 の和"),
    key("redact color", &S::redactColor, "　塗りつぶし色(B,G,R)", R::HexColor, Lay::HexWithPrefix),
    // No comment: the padding before one would be read back as part of the words.
    key("redact words", &S::redactWords),
};

const ConfGroup kGroups[] = {
    {"/* 表示情報 */", kDisplay},
    {"/* 画像拡大倍率制限 */", kZoom},
    {"/* 左マージン：手順リストボックス */", kMargin},
    {"/* HTMLファイル作成 */", kHtml},
    {"/* MSワード文書作成 */", kWord},
    {"/* サムネイル */", kThumbnail},
    {"/* ウィンドウ状態 */", kWindow},
    {"/* キャプチャー情報 対象/範囲/強調囲み等 */", kCapture},
    {"/* ホットキー */", kHotKeys},
    {"/* 取得情報 */", kAcquire},
    {"/* 記録関連 */", kRecording},
    {"/* 再生関連 */", kPlayback},
    {"/* その他 */", kOther},
};

} // namespace

std::span<const ConfGroup> confGroups() {
    return kGroups;
}

const ConfKey* findConfKey(const QString& name) {
    static const QHash<QString, const ConfKey*> byName = [] {
        QHash<QString, const ConfKey*> h;
        for (const ConfGroup& g : kGroups)
            for (const ConfKey& k : g.keys)
                h.insert(QString::fromUtf8(k.key).toLower(), &k);
        return h;
    }();
    return byName.value(name.toLower(), nullptr);
}

} // namespace klavoro
