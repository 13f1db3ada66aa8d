#include "settings/settingpickers.h"

#include "store/pathops.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

namespace klavoro {
namespace {

// Programs have no extension to filter by: this shows folders and
// executable files while the program filter is chosen.
class ExecutableFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setOnlyExecutables(bool on) {
        m_only = on;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* fs = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!fs || !m_only) return true;
        const QModelIndex index = fs->index(row, 0, parent);
        if (fs->isDir(index)) return true;
        return fs->fileInfo(index).isExecutable();
    }

private:
    bool m_only = true;
};

// The patterns are in the last brackets; the caption before them is what
// the list shows, so "(*.*)" can stand for every file as users expect.
const QString kProgramFilter = QStringLiteral("アプリケーション (*)");
const QString kAllFilesFilter = QStringLiteral("全てのファイル(*.*) (*)");

} // namespace

QString QtSettingPickers::chooseProgram(QWidget* parent, const QString& start) {
    QFileDialog dialog(parent);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::ExistingFile);
    auto* filter = new ExecutableFilter(&dialog);
    dialog.setProxyModel(filter);
    dialog.setNameFilters({kProgramFilter, kAllFilesFilter});
    QObject::connect(&dialog, &QFileDialog::filterSelected, filter, [filter](const QString& f) {
        filter->setOnlyExecutables(f == kProgramFilter);
    });
    const QString t = unquote(start);
    if (t.isEmpty()) {
        dialog.setDirectory(resolvePath(QString()));
    } else {
        const QFileInfo current(resolvePath(t));
        dialog.setDirectory(current.absolutePath());
        if (current.isFile()) dialog.selectFile(current.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

QString QtSettingPickers::chooseCursor(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileName(parent, QString(), folder,
                                        QStringLiteral("ポインタ(*.cur)"), nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

QColor QtSettingPickers::chooseColour(QWidget* parent, const QColor& start) {
    return QColorDialog::getColor(start, parent);
}

QString QtSettingPickers::chooseFolder(QWidget* parent, const QString& title,
                                       const QString& start) {
    return QFileDialog::getExistingDirectory(
        parent, title, start, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

} // namespace klavoro
