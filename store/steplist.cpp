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
