#include "describe/elementinfo.h"

#include "platform/accessibility.h"

#include <array>
#include <cmath>

namespace klavoro {

QString RoleWords(int role) {
    static const std::array<const char16_t*, 63> words = {
        u"タイトルバー",
        u"メニューバー",
        u"スクロールバー",
        u"グリップ",
        u"サウンド",
        u"カーソル",
        u"キャレット",
        u"アラート",
        u"ウィンドウ",
        u"カスタム",
        u"メニュー",
        u"メニュー項目",
        u"ツールヒント",
        u"アプリケーション",
        u"ドキュメント",
        u"ペイン",
        u"チャート",
        u"ダイアログ",
        u"境界線",
        u"グループ",
        u"区分線",
        u"ツールバー",
        u"ステータスバー",
        u"テーブル",
        u"列見出し",
        u"行見出し",
        u"列",
        u"行",
        u"セル",
        u"ハイパーリンク",
        u"ヘルプボタン",
        u"キャラクタ",
        u"データグリッド",
        u"データ項目",
        u"ツリー",
        u"ツリー項目",
        u"タブ項目",
        u"プロパティページ",
        u"つまみ",
        u"イメージ",
        u"テキスト",
        u"テキスト",
        u"ボタン",
        u"チェックボタン",
        u"オプションボタン",
        u"コンボボックス",
        u"ドロップリスト",
        u"進行状況バー",
        u"ダイヤル",
        u"ホットキーフィールド",
        u"スライダー",
        u"スピンボタン",
        u"ダイアグラム",
        u"アニメーション",
        u"EQUATION",
        u"ボタンドロップダウン",
        u"ボタンメニュー",
        u"ボタンドロップダウングリッド",
        u"空白域",
        u"タブ",
        u"時計",
        u"分割ボタン",
        u"IPアドレス",
    };
    if (role < 1 || role > static_cast<int>(words.size())) return QString();
    return QString::fromUtf16(words[static_cast<size_t>(role - 1)]);
}

QString StateTexts(quint32 bits) {
    struct Entry {
        quint32 bit;
        const char16_t* text;
    };
    // Reading order, not bit order: checked comes before selected.
    static const Entry entries[] = {
        {state::Unavailable, u"利用不可。"},      {state::Checked, u"チェックされています。"},
        {state::Pressed, u"押されています。"},    {state::Selected, u"選択されています。"},
        {state::ReadOnly, u"読み取り専用。"},     {state::Expanded, u"展開されています。"},
        {state::Floating, u"フロート状態です。"}, {state::Focused, u"フォーカスされています。"},
        {state::Focusable, u"フォーカス可。"},    {state::Sizeable, u"サイズ変更可。"},
        {state::Selectable, u"選択可。"},         {state::MultiSelectable, u"複数選択可。"},
        {state::ExtSelectable, u"拡張選択。"},    {state::Moveable, u"移動可。"},
        {state::Linked, u"リンクされています。"},
    };
    QString text;
    for (const Entry& e : entries)
        if (bits & e.bit) text += QString::fromUtf16(e.text);
    return text;
}

qint32 scaleByTextMag(qint32 value, double factor) {
    // The factor came from a percent text; go back to that percent so that
    // 110 % of 15 is exactly 16.5 (and rounds to 16), not 16.500000x.
    const double percent = std::round(factor * 1e6) / 1e4;
    const double scaled = std::nearbyint(static_cast<double>(value) * percent / 100.0);
    if (scaled >= 2147483647.0) return 2147483647;
    if (scaled <= -2147483648.0) return -2147483647 - 1;
    return static_cast<qint32>(scaled);
}

} // namespace klavoro
