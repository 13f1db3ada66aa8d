#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace klavoro {

// The step lines of the current capture folder, in step order; a step's number
// is its 1-based position. The view of the main window shows this model; the
// number column is filled in for display only, the stored field 0 is not used.
class StepList : public QAbstractListModel {
    Q_OBJECT
public:
    enum Roles { LineRole = Qt::UserRole + 1 };

    explicit StepList(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int count() const { return static_cast<int>(m_lines.size()); }

    // Step n (1-based); n = 0 is the selected step. Empty when there is none.
    QString line(int n) const;
    void setLine(int n, const QString& line);
    void append(const QString& line);
    void appendLines(const QStringList& lines);
    void clear();
    // Removes the given steps (1-based, ascending, no repeats) in as few model
    // updates as possible: 15000 single-row removals would stall a view.
    void removeSteps(const QList<int>& steps);
    // Moves step `from` to position `to` (both 1-based); false when either is
    // outside the list.
    bool moveStep(int from, int to);
    const QStringList& lines() const { return m_lines; }
    // Replaces every line at once (one model reset).
    void setLines(const QStringList& lines);

    // Field k of step n; k = 0 gives the decimal text of n ("" for n = 0).
    QString field(int n, int k) const;
    // Replaces field k of step n exactly; keeps the other fields.
    void setField(int k, int n, const QString& value);

    // The selected step, 0 for none; the view keeps it current.
    int selectedStep() const { return m_selected; }
    void setSelectedStep(int n);

    // Every line followed by CR LF, in step order.
    QString allLines() const;

signals:
    void selectedStepChanged(int n);

private:
    int resolve(int n) const { return n == 0 ? m_selected : n; }
    QStringList m_lines;
    int m_selected = 0;
};

} // namespace klavoro
