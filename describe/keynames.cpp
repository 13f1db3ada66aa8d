#include "describe/keynames.h"

namespace klavoro {
namespace {

std::array<QString, 256> buildKeyNames() {
    std::array<QString, 256> t;
    t[1] = t[2] = t[4] = QStringLiteral(" ");
    t[3] = QStringLiteral("Break");
    t[8] = QStringLiteral("Backspace");
    t[9] = QStringLiteral("Tab");
    t[13] = QStringLiteral("Enter");
    t[16] = QStringLiteral("Shift");
    t[17] = QStringLiteral("Ctrl");
    t[18] = QStringLiteral("Alt");
    t[19] = QStringLiteral("Pause");
    t[20] = QStringLiteral("Caps Lock");
    t[27] = QStringLiteral("Esc");
    t[28] = QStringLiteral("変換");
    t[29] = QStringLiteral("無変換");
    t[32] = QStringLiteral("スペース");
    t[33] = QStringLiteral("PgUp");
    t[34] = QStringLiteral("PgDn");
    t[35] = QStringLiteral("End");
    t[36] = QStringLiteral("Home");
    t[37] = QStringLiteral("←");
    t[38] = QStringLiteral("↑");
    t[39] = QStringLiteral("→");
    t[40] = QStringLiteral("↓");
    t[44] = QStringLiteral("Print Screen");
    t[45] = QStringLiteral("Insert");
    t[46] = QStringLiteral("Delete");
    for (int c = '0'; c <= '9'; ++c)
        t[c] = QString(QChar(c));
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = QString(QChar(c));
    t[91] = QStringLiteral("左ウィンドウズキー");
    t[92] = QStringLiteral("右ウィンドウズキー");
    t[93] = QStringLiteral("アプリケーションキー");
    for (int i = 0; i <= 9; ++i)
        t[96 + i] = QStringLiteral("テンキー") + QString::number(i);
    t[106] = QStringLiteral("*");
    t[107] = QStringLiteral("+");
    t[108] = QStringLiteral(",");
    t[109] = QStringLiteral("-");
    t[110] = QStringLiteral(".");
    t[111] = QStringLiteral("/");
    for (int i = 1; i <= 24; ++i)
        t[111 + i] = QStringLiteral("F") + QString::number(i);
    t[144] = QStringLiteral("Num Lock");
    t[145] = QStringLiteral("Scroll Lock");
    t[186] = QStringLiteral(":");
    t[187] = QStringLiteral(";");
    t[188] = QStringLiteral(",");
    t[189] = QStringLiteral("-^");
    t[190] = QStringLiteral(".");
    t[191] = QStringLiteral("/");
    t[192] = QStringLiteral("@");
    t[219] = QStringLiteral("[");
    t[220] = QStringLiteral("\\");
    t[221] = QStringLiteral("]");
    t[222] = QStringLiteral("^");
    t[226] = QStringLiteral("\\(バックスラッシュ）");
    t[240] = QStringLiteral("Caps Lock");
    t[242] = QStringLiteral("カタカナ");
    t[243] = t[244] = QStringLiteral("半角／全角");
    return t;
}

} // namespace

const std::array<QString, 256>& KeyNames() {
    static const std::array<QString, 256> table = buildKeyNames();
    return table;
}

QString keyName(int code) {
    return KeyNames()[code & 0xFF];
}

} // namespace klavoro
