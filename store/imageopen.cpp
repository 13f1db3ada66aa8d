#include "store/imageopen.h"

#include "platform/shell.h"
#include "store/logs.h"
#include "store/pathops.h"

#include <QFileInfo>
#include <QProcess>

namespace klavoro {

bool startDetachedProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

bool openImageInEditor(const QString& imagePath, const QString& editorPath, Shell& shell,
                       const ProgramStarter& start) {
    if (imagePath.isEmpty() || !QFileInfo(imagePath).isFile()) {
        writeLog(QStringLiteral("画像ファイルがありません: ") + imagePath);
        return false;
    }
    const QString editor = unquote(editorPath);
    if (editor.isEmpty()) {
        if (shell.open(imagePath)) return true;
        writeLog(QStringLiteral("画像を開けませんでした: ") + imagePath);
        return false;
    }
    // A name without a folder is a program on PATH; anything else is a path.
    const QString program = editor.contains('/') ? resolvePath(editor) : editor;
    if (start(program, {imagePath})) return true;
    writeLog(QStringLiteral("画像エディタを起動できませんでした: ") + program);
    return false;
}

} // namespace klavoro
