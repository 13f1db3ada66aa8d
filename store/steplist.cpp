#include "store/steplist.h"

#include "store/stepline.h"

namespace klavoro {

StepList::StepList(QObject* parent) : QAbstractListModel(parent) {}

int StepList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant StepList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_lines.size()) return {};
    const QString& l = m_lines.at(index.row());
    switch (role) {
    case Qt::DisplayRole: {
        const qsizetype tab = l.indexOf('\t');
        if (tab < 0) return l;
        QString shown = QString::number(index.row() + 1);
        shown += QStringView(l).mid(tab);
        return shown;
    }
    case LineRole:
        return l;
    default:
        return {};
    }
}

QString StepList::line(int n) const {
    const int i = resolve(n) - 1;
    return i >= 0 && i < m_lines.size() ? m_lines.at(i) : QString();
}

void StepList::setLine(int n, const QString& text) {
    const int i = resolve(n) - 1;
    if (i < 0 || i >= m_lines.size() || m_lines.at(i) == text) return;
    m_lines[i] = text;
    const QModelIndex idx = index(i);
    emit dataChanged(idx, idx);
}

void StepList::append(const QString& text) {
    beginInsertRows(QModelIndex(), count(), count());
    m_lines.append(text);
    endInsertRows();
}

void StepList::appendLines(const QStringList& lines) {
    if (lines.isEmpty()) return;
    beginInsertRows(QModelIndex(), count(), count() + static_cast<int>(lines.size()) - 1);
    m_lines.append(lines);
    endInsertRows();
}

void StepList::clear() {
    beginResetModel();
    m_lines.clear();
    endResetModel();
    setSelectedStep(0);
}

void StepList::removeSteps(const QList<int>& steps) {
    if (steps.isEmpty()) return;
    const int selected = m_selected;
    // One contiguous run: a plain row removal keeps the view's scroll state.
    if (steps.last() - steps.first() + 1 == steps.size()) {
        const int first = steps.first() - 1, last = steps.last() - 1;
        if (first < 0 || last >= count()) return;
        beginRemoveRows(QModelIndex(), first, last);
        m_lines.remove(first, last - first + 1);
        endRemoveRows();
    } else {
        QStringList kept;
        kept.reserve(count() - steps.size());
        qsizetype next = 0;
        for (int i = 0; i < count(); ++i) {
            if (next < steps.size() && steps[next] == i + 1) {
                ++next;
                continue;
            }
            kept.append(m_lines.at(i));
        }
        beginResetModel();
        m_lines = std::move(kept);
        endResetModel();
    }
    if (selected > count()) setSelectedStep(0);
}

bool StepList::moveStep(int from, int to) {
    if (from < 1 || from > count() || to < 1 || to > count()) return false;
    if (from == to) return true;
    // Qt's move wants the row before which the moved row lands.
    const int destination = to > from ? to : to - 1;
    if (!beginMoveRows(QModelIndex(), from - 1, from - 1, QModelIndex(), destination)) return false;
    m_lines.move(from - 1, to - 1);
    endMoveRows();
    return true;
}

void StepList::setLines(const QStringList& lines) {
    beginResetModel();
    m_lines = lines;
    endResetModel();
    if (m_selected > count()) setSelectedStep(0);
}

QString StepList::field(int n, int k) const {
    if (k == FieldNumber) return n == 0 ? QString() : QString::number(n);
    return lineField(line(n), k);
}

void StepList::setField(int k, int n, const QString& value) {
    const QString old = line(n);
    if (old.isEmpty()) return;
    setLine(n, withLineField(old, k, value));
}

void StepList::setSelectedStep(int n) {
    const int clamped = n < 0 || n > count() ? 0 : n;
    if (clamped == m_selected) return;
    m_selected = clamped;
    emit selectedStepChanged(m_selected);
}

QString StepList::allLines() const {
    QString out;
    for (const QString& l : m_lines) {
        out += l;
        out += QLatin1String("\r\n");
    }
    return out;
}

} // namespace klavoro
