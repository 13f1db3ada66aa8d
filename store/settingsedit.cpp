#include "store/settingsedit.h"

#include "redact/patterns.h"
#include "store/confvalue.h"
#include "store/dialogs.h"
#include "store/pathops.h"
#include "store/programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <limits>

namespace klavoro {
namespace {

const QString kAppTitle = QStringLiteral("クラヴォロ");
const QString kBadValue = QStringLiteral("入力値不正");
const QString kAboveZero = QStringLiteral("０より大きい値を入力して下さい！");

QString number(qint32 v) {
    return QString::number(v);
}

// One decimal as the list shows them ("2.0"), unless that loses the value.
QString playSpanText(float v) {
    const QString s = QString::number(double(v), 'f', 1);
    return s.toFloat() == v ? s : formatSingle(v);
}

QString textMagText(float v) {
    return formatSingle(v * 100.0f) + '%';
}

int formatIndex(qint32 code) {
    return code >= 1 && code <= 3 ? code : 0; // anything else is BMP
}

// Copies the controls the user changed into their settings.
class Copier {
public:
    Copier(const SettingsForm& now, const SettingsForm& then) : m_now(now), m_then(then) {}

    template <typename Field> void toggle(bool SettingsForm::*m, Field& field) const {
        if (m_now.*m != m_then.*m) field = Field(m_now.*m ? 1 : 0);
    }
    void index(int SettingsForm::*m, qint32& field) const {
        if (m_now.*m != m_then.*m) field = m_now.*m;
    }
    void text(QString SettingsForm::*m, QString& field) const {
        if (m_now.*m != m_then.*m) field = m_now.*m;
    }
    void longValue(const QString& now, const QString& then, qint32& field) const {
        qint32 v = 0;
        if (now != then && toLong(numberOfText(now), &v)) field = v;
    }
    void longValue(QString SettingsForm::*m, qint32& field) const {
        longValue(m_now.*m, m_then.*m, field);
    }
    template <size_t N>
    void longAt(std::array<QString, N> SettingsForm::*m, size_t i, qint32& field) const {
        longValue((m_now.*m)[i], (m_then.*m)[i], field);
    }
    template <size_t N>
    void textAt(std::array<QString, N> SettingsForm::*m, size_t i, QString& field) const {
        if ((m_now.*m)[i] != (m_then.*m)[i]) field = (m_now.*m)[i];
    }
    // A positive number, divided by `scale`.
    void single(QString SettingsForm::*m, float& field, double scale = 1.0) const {
        float v = 0;
        if (m_now.*m != m_then.*m && toSingle(numberOfText(m_now.*m) / scale, &v) && v > 0)
            field = v;
    }
    bool changed(QString SettingsForm::*m) const { return m_now.*m != m_then.*m; }

private:
    const SettingsForm& m_now;
    const SettingsForm& m_then;
};

} // namespace

SettingsEdit::SettingsEdit(Settings& settings, Dialogs& dialogs)
    : m_settings(settings), m_dialogs(dialogs) {}

const SettingsForm& SettingsEdit::open() {
    const Settings& s = m_settings;
    SettingsForm f;
    f.pageIndex = s.settingIndex >= 0 && s.settingIndex < SettingsPageCount ? s.settingIndex : 0;

    f.editorPath = s.editorPath;
    f.target = s.target;
    f.plainScale = s.plainScale != 0;
    f.maxSize = {number(s.winWidthMax), number(s.winHeightMax)};
    f.rect = {number(s.rectLeft), number(s.rectTop), number(s.rectRight), number(s.rectBottom)};
    f.rectPoint = s.rectPoint != 0;
    f.noRectFile = s.noRectFile != 0;
    f.rectPointColor = s.rectPointColor;
    f.rectPointWidth = number(s.rectPointWidth);
    f.rectPointRound = number(s.rectPointRound);
    f.captureTrans = s.captureTrans != 0;
    f.captureSound = s.captureSound != 0;
    f.copyToClipboard = s.copyToClipboard != 0;
    f.mouseCursor = s.mouseCursor != 0;
    f.mouseOption = s.mouseOption;
    f.mouseFile = s.mouseFile;
    f.delay = {number(s.delay0), number(s.delay1), number(s.delay2)};
    f.reduce = s.reduce != 0;
    f.redact = s.redact != 0;
    f.redactPatterns = s.redactPatterns;
    f.redactColor = s.redactColor;
    f.redactWords = ownWordEntries(s.redactWords).join(u'\n');

    f.maxCnt = formatMaxCnt(s.maxCnt);
    f.saveFileFormat = formatIndex(s.saveFileFormat);
    f.saveJpgQuality = number(s.saveJpgQuality);
    f.autoSave = s.autoSave != 0;
    f.saveFolderPath = s.saveFolderPath;
    f.loadFiles = numberOfText(s.loadFiles) != 0;
    f.thumbnail = {number(s.thumbnailWidth), number(s.thumbnailHeight)};
    f.thumbnailStatic = s.thumbnailStatic != 0;

    f.playSpan = playSpanText(s.playSpan);
    f.playSpeak = s.playSpeak;
    f.playSpeakSpeed = number(s.playSpeakSpeed);
    f.playSpeakPhraseBracket = s.playSpeakPhraseBracket != 0;
    f.playSpeakStartMsg = s.playSpeakStartMsg;
    f.playSpeakEndMsg = s.playSpeakEndMsg;
    f.animeChar = s.animeChar;
    f.balloonFont = s.balloonFont;
    f.balloonFontsize = s.balloonFontsize;

    f.keyRecord = s.keyRecord != 0;
    f.keyRecordChar = s.keyRecordChar != 0;
    f.keyCapture = s.keyCapture != 0;
    f.hotkey = {s.hotkey0, s.hotkey1, s.hotkey2, s.hotkey3, s.hotkey4};
    f.manualCaptureMouse = s.manualCaptureMouse != 0;

    f.scrollbar = s.scrollbar;
    f.dispMenu = s.dispMenu != 0;
    f.textMag = textMagText(s.textMag);
    f.noProgress = s.noProgress != 0;
    f.noConfirm = s.noConfirm != 0;
    f.confirmAppend = s.confirmAppend != 0;
    f.autoStart = s.autoStart != 0;
    f.autoRestart = s.autoRestart != 0;
    f.iconBlink = s.iconBlink != 0;
    f.popupCounter = s.popupCounter != 0;
    f.minimize = s.minimize != 0;
    f.tasktray = s.tasktray != 0;
    f.dispTop = s.dispTop != 0;
    f.transparent = number(s.transparent);

    m_opened = f;
    m_accepted = false;
    return m_opened;
}

bool SettingsEdit::leaveHotKey(const std::array<QString, 5>& boxes, int index) {
    if (index < 0 || index >= int(boxes.size())) return true;
    const QString key = boxes[size_t(index)];
    if (key.isEmpty()) return true;
    int count = 0;
    for (const QString& b : boxes)
        if (b.compare(key, Qt::CaseInsensitive) == 0) ++count;
    if (count <= 1) return true;
    m_dialogs.message(QStringLiteral("ホットキーが重複しています！"), QStringLiteral("重複"));
    return false;
}

bool SettingsEdit::leaveMaxCnt(QString& text, int recordedSteps) {
    const double v = numberOfText(text);
    if (v > kStepCap) {
        m_dialogs.message(QStringLiteral("最大枚数は%1です").arg(kStepCap), kAppTitle);
        text = QString::number(kStepCap);
        return true;
    }
    // Nothing could be recorded with a count of 0.
    if (v < 1) {
        m_dialogs.message(kAboveZero, kBadValue);
        return false;
    }
    if (v < recordedSteps) {
        m_dialogs.message(QStringLiteral("取得済みのデータが既に超えています。\r\n"
                                         "データを削除するか、最大枚数を変更して下さい。"),
                          kAppTitle);
        return false;
    }
    return true;
}

bool SettingsEdit::leaveJpgQuality(const QString& text) {
    if (!text.trimmed().isEmpty()) return true;
    m_dialogs.message(QStringLiteral("JPG品質が空白です"), QStringLiteral("入力エラー"));
    return false;
}

bool SettingsEdit::leaveRect(const std::array<QString, 4>& rect) {
    const QString title = QStringLiteral("選択数値エラー");
    if (numberOfText(rect[3]) < numberOfText(rect[1])) {
        m_dialogs.message(QStringLiteral("top < bottom でなければイケマセン！"), title);
        return false;
    }
    if (numberOfText(rect[2]) < numberOfText(rect[0])) {
        m_dialogs.message(QStringLiteral("left < right でなければイケマセン！"), title);
        return false;
    }
    return true;
}

namespace {
bool sizeWithin(Dialogs& dialogs, const QString& text, double limit) {
    const double v = numberOfText(text);
    if (v <= 0) {
        dialogs.message(kAboveZero, kBadValue);
        return false;
    }
    if (v > limit) {
        dialogs.message(formatNumber(limit) + QStringLiteral(" 以内の値を入力して下さい！"),
                        kBadValue);
        return false;
    }
    return true;
}
} // namespace

bool SettingsEdit::leaveMaxSize(int index, const QString& text, QSize screen) {
    const double side = index == 0 ? screen.width() : screen.height();
    return sizeWithin(m_dialogs, text, side * double(m_settings.textMag));
}

bool SettingsEdit::leaveThumbnail(int index, const QString& text, QSize screen) {
    return sizeWithin(m_dialogs, text, index == 0 ? screen.width() : screen.height());
}

SettingsEdit::OkResult SettingsEdit::accept(const SettingsForm& f) {
    m_accepted = false;
    const Copier c(f, m_opened);
    Settings& s = m_settings;

    QString folder = s.saveFolderPath;
    if (c.changed(&SettingsForm::saveFolderPath) && !storedSaveFolder(f.saveFolderPath, &folder)) {
        m_dialogs.message(QStringLiteral("「 ") + f.saveFolderPath +
                              QStringLiteral(" 」は有効なフォルダパスではありません！"),
                          kBadValue);
        return OkResult::BadSaveFolder;
    }

    if (f.redactWords != m_opened.redactWords) {
        for (const QString& entry : ownWordEntries(f.redactWords)) {
            // Conf.txt reads " // " as the start of a comment.
            if (entry.contains(QLatin1String(" // "))) {
                m_dialogs.message(QStringLiteral("「 // 」を含む語句は使えません：") + entry,
                                  kBadValue);
                return OkResult::BadRedactWord;
            }
            if (isValidEntry(entry)) continue;
            m_dialogs.message(QStringLiteral("正規表現が正しくありません：") + entry, kBadValue);
            return OkResult::BadRedactWord;
        }
    }

    s.settingIndex = qint16(f.pageIndex);
    c.toggle(&SettingsForm::redact, s.redact);
    if (f.redactPatterns != m_opened.redactPatterns) s.redactPatterns = f.redactPatterns;
    if (f.redactColor != m_opened.redactColor) s.redactColor = f.redactColor;
    if (f.redactWords != m_opened.redactWords)
        s.redactWords = ownWordEntries(f.redactWords).join(u'\u0001');
    c.toggle(&SettingsForm::mouseCursor, s.mouseCursor);
    c.text(&SettingsForm::mouseFile, s.mouseFile);
    c.index(&SettingsForm::mouseOption, s.mouseOption);
    c.toggle(&SettingsForm::copyToClipboard, s.copyToClipboard);
    c.toggle(&SettingsForm::captureSound, s.captureSound);
    c.index(&SettingsForm::saveFileFormat, s.saveFileFormat);
    c.longValue(&SettingsForm::saveJpgQuality, s.saveJpgQuality);
    s.saveFolderPath = folder;
    if (c.changed(&SettingsForm::maxCnt)) {
        c.longValue(&SettingsForm::maxCnt, s.maxCnt);
        s.maxCnt = qBound(1, s.maxCnt, kStepCap);
    }
    c.toggle(&SettingsForm::autoSave, s.autoSave);
    c.single(&SettingsForm::textMag, s.textMag, 100.0);
    if (f.loadFiles != m_opened.loadFiles)
        s.loadFiles = f.loadFiles ? QStringLiteral("1") : QStringLiteral("0");
    c.toggle(&SettingsForm::autoStart, s.autoStart);
    c.toggle(&SettingsForm::confirmAppend, s.confirmAppend);
    c.toggle(&SettingsForm::noConfirm, s.noConfirm);
    c.toggle(&SettingsForm::noProgress, s.noProgress);
    c.toggle(&SettingsForm::minimize, s.minimize);
    c.toggle(&SettingsForm::tasktray, s.tasktray);
    c.toggle(&SettingsForm::popupCounter, s.popupCounter);
    c.toggle(&SettingsForm::dispTop, s.dispTop);
    c.toggle(&SettingsForm::dispMenu, s.dispMenu);
    c.longValue(&SettingsForm::transparent, s.transparent);
    QString* hotkeys[] = {&s.hotkey0, &s.hotkey1, &s.hotkey2, &s.hotkey3, &s.hotkey4};
    for (size_t i = 0; i < 5; ++i)
        c.textAt(&SettingsForm::hotkey, i, *hotkeys[i]);
    c.toggle(&SettingsForm::manualCaptureMouse, s.manualCaptureMouse);
    c.toggle(&SettingsForm::iconBlink, s.iconBlink);
    c.toggle(&SettingsForm::autoRestart, s.autoRestart);
    c.index(&SettingsForm::target, s.target);
    c.longAt(&SettingsForm::rect, 0, s.rectLeft);
    c.longAt(&SettingsForm::rect, 1, s.rectTop);
    c.longAt(&SettingsForm::rect, 2, s.rectRight);
    c.longAt(&SettingsForm::rect, 3, s.rectBottom);
    c.toggle(&SettingsForm::rectPoint, s.rectPoint);
    if (f.rectPointColor != m_opened.rectPointColor) s.rectPointColor = f.rectPointColor;
    c.longValue(&SettingsForm::rectPointWidth, s.rectPointWidth);
    c.longValue(&SettingsForm::rectPointRound, s.rectPointRound);
    c.toggle(&SettingsForm::noRectFile, s.noRectFile);
    c.toggle(&SettingsForm::keyRecord, s.keyRecord);
    c.toggle(&SettingsForm::keyRecordChar, s.keyRecordChar);
    c.toggle(&SettingsForm::keyCapture, s.keyCapture);
    c.longAt(&SettingsForm::maxSize, 0, s.winWidthMax);
    c.longAt(&SettingsForm::maxSize, 1, s.winHeightMax);
    c.toggle(&SettingsForm::captureTrans, s.captureTrans);
    c.text(&SettingsForm::editorPath, s.editorPath);
    c.index(&SettingsForm::scrollbar, s.scrollbar);
    c.single(&SettingsForm::playSpan, s.playSpan);
    c.text(&SettingsForm::playSpeak, s.playSpeak);
    c.longValue(&SettingsForm::playSpeakSpeed, s.playSpeakSpeed);
    c.toggle(&SettingsForm::playSpeakPhraseBracket, s.playSpeakPhraseBracket);
    c.text(&SettingsForm::animeChar, s.animeChar);
    c.text(&SettingsForm::playSpeakStartMsg, s.playSpeakStartMsg);
    c.text(&SettingsForm::playSpeakEndMsg, s.playSpeakEndMsg);
    c.text(&SettingsForm::balloonFont, s.balloonFont);
    c.text(&SettingsForm::balloonFontsize, s.balloonFontsize);
    c.longAt(&SettingsForm::thumbnail, 0, s.thumbnailWidth);
    c.longAt(&SettingsForm::thumbnail, 1, s.thumbnailHeight);
    c.toggle(&SettingsForm::thumbnailStatic, s.thumbnailStatic);
    c.toggle(&SettingsForm::plainScale, s.plainScale);
    c.longAt(&SettingsForm::delay, 0, s.delay0);
    c.longAt(&SettingsForm::delay, 1, s.delay1);
    c.longAt(&SettingsForm::delay, 2, s.delay2);
    c.toggle(&SettingsForm::reduce, s.reduce);

    m_accepted = true;
    return OkResult::Done;
}

QString formatMaxCnt(qint32 value) {
    if (value == 0) return {};
    QString digits = QString::number(qAbs(qint64(value)));
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, ',');
    return value < 0 ? '-' + digits : digits;
}

double numberOfText(const QString& text) {
    QString t = text;
    t.remove(',');
    double v = 0;
    return leadingNumber(t, &v) ? v : std::numeric_limits<double>::infinity();
}

bool storedSaveFolder(const QString& text, QString* stored) {
    const QString t = unquote(text);
    if (t.isEmpty()) {
        stored->clear();
        return true;
    }
    const QString absolute = QDir::cleanPath(resolvePath(t));
    if (withTrailingSeparator(absolute) == captureBaseFolder()) {
        stored->clear();
        return true;
    }
    if (!QFileInfo(absolute).isDir()) return false;
    *stored = withTrailingSeparator(relativePath(absolute, captureBaseFolder()));
    return true;
}

QString saveFolderDialogStart(const QString& text) {
    const QString t = unquote(text);
    return t.isEmpty() ? captureBaseFolder() : resolvePath(withTrailingSeparator(t));
}

QString saveFolderText(const QString& chosen) {
    if (chosen.isEmpty()) return chosen;
    QString rel = relativePath(QDir::cleanPath(chosen), captureBaseFolder());
    while (rel.size() > 1 && rel.endsWith('/'))
        rel.chop(1);
    return rel;
}

bool mouseFileOf(const QString& chosen, QString* name) {
    const QFileInfo file(chosen);
    const QDir cursors(shippedFilesFolder() + QStringLiteral("cursors"));
    if (!file.isFile() || !cursors.exists() || file.canonicalPath() != cursors.canonicalPath())
        return false;
    *name = file.fileName();
    return true;
}

QString editorPathText(const QString& chosen) {
    const QString home = captureBaseFolder();
    return chosen.startsWith(home) ? chosen.mid(home.size()) : chosen;
}

bool isExecutableFile(const QString& text) {
    const QString t = unquote(text);
    if (t.isEmpty()) return false;
    const QFileInfo file(resolvePath(t));
    if (file.isFile() && file.isExecutable()) return true;
    return !t.contains('/') && !QStandardPaths::findExecutable(t).isEmpty();
}

} // namespace klavoro
