#include "edit/messageedit.h"

#include "edit/stepedithost.h"
#include "store/dialogs.h"
#include "store/oplist.h"
#include "store/stepline.h"
#include "store/steplist.h"

#include <algorithm>

namespace klavoro {

namespace {
constexpr int kTwipsPerPixel = 15;
constexpr int kPointerGap = 20;
} // namespace

QString sentenceForEditor(const QString& field) {
    QString text = field;
    text.replace(QChar(4), QChar('\n'));
    return text;
}

QString sentenceForList(const QString& text) {
    QString out = text;
    out.replace(QChar(0x2029), QChar(4)); // the editor's paragraph break
    return storableFieldText(out);
}

int twipsToPixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

int pixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

QRect editorGeometry(QSize size, int sentenceLeft, QPoint pointer, const QRect& screen) {
    int top = pointer.y() + kPointerGap;
    if (top + size.height() > screen.bottom() + 1) top = pointer.y() - kPointerGap - size.height();
    return QRect(QPoint(sentenceLeft, top), size);
}

MessageEditSession::MessageEditSession(StepList& steps, OperationList& opList, StepEditHost& host,
                                       Dialogs& dialogs, MessageEditMemory& memory)
    : m_steps(steps), m_opList(opList), m_host(host), m_dialogs(dialogs), m_memory(memory) {}

QString MessageEditSession::load(int n) {
    m_step = n == 0 ? m_steps.selectedStep() : n;
    m_dirty = false;
    return sentenceForEditor(m_steps.field(m_step, FieldMessage));
}

void MessageEditSession::store(const QString& text) {
    if (m_step < 1 || m_step > m_steps.count()) return;
    const QString before = m_steps.line(m_step);
    m_steps.setField(FieldMessage, m_step, sentenceForList(text));
    if (m_steps.line(m_step) != before) m_opList.messageEdited = true;
}

bool MessageEditSession::move(int delta, const QString& text, QString* shown) {
    const int target = m_step + delta;
    if (m_step < 1 || target < 1 || target > m_steps.count()) return false;
    if (m_dirty && !m_memory.noMoreQuestions) {
        const QString question =
            QStringLiteral("データが変更されています。更新しますか？") + QStringLiteral("\r\n") +
            QStringLiteral("「はい」の場合、更新後、次からは注意メッセージを表示しません。");
        if (!m_dialogs.askYesNo(question, QStringLiteral("編集"), true)) return false;
        m_memory.noMoreQuestions = true;
    }
    store(text);
    m_host.selectStep(target);
    if (m_steps.selectedStep() != target) m_steps.setSelectedStep(target);
    const QString next = load(target);
    if (shown) *shown = next;
    return true;
}

} // namespace klavoro
