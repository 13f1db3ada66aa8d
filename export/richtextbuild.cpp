#include "export/richtextbuild.h"

#include "export/documentsteps.h"
#include "export/numbertext.h"
#include "export/stepdocument.h"
#include "store/dialogs.h"
#include "store/settings.h"

#include <QTextCursor>
#include <QTextImageFormat>

namespace klavoro {

int buildRichText(StepDocument& document, ExportHost& host, const Settings& settings) {
    const int count = host.stepCount();
    const int interval = progressInterval(count);
    const QString folder = host.captureFolder();
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);

    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    // Text is inserted with an explicit format: after a picture the cursor's
    // own format would be the picture's.
    const QTextCharFormat text = cursor.charFormat();
    const QTextBlockFormat block = cursor.blockFormat();
    cursor.beginEditBlock();
    int pictures = 0;
    for (int i = 1; i <= count; ++i) {
        if (i % interval == 0)
            host.showProgress(QStringLiteral("作成中 ...... %1/%2\r\n").arg(i).arg(count));
        const DocumentStep step = documentStep(host.stepLine(i), folder);
        cursor.insertText(stepNumberText(i, settings) + step.lines.first(), text);
        for (qsizetype k = 1; k < step.lines.size(); ++k) {
            cursor.insertBlock(block, text);
            cursor.insertText(step.lines[k], text);
        }
        cursor.insertBlock(block, text);
        cursor.insertBlock(block, text);
        if (step.picture != DocumentStep::Picture::None) {
            const QSize shown = limitWidth(step.size, settings.dispImgMaxWidth);
            QTextImageFormat image;
            image.setName(document.addPictureFile(step.file, shown));
            image.setWidth(shown.width());
            image.setHeight(shown.height());
            cursor.insertImage(image);
            ++pictures;
        }
        for (int k = 0; k < settings.paragraph; ++k)
            cursor.insertBlock(block, text);
    }
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
    host.showProgress(QString());
    return pictures;
}

} // namespace klavoro

namespace klavoro {

bool mayBuildRichText(int stepCount, Dialogs& dialogs) {
    if (stepCount == 0) {
        dialogs.message(QStringLiteral("データがありません！"),
                        QStringLiteral("リッチテキスト作成不可"));
        return false;
    }
    if (stepCount > kRichTextLargeList)
        return dialogs.askOkCancel(
            QStringLiteral("データが") + QStringLiteral("1000") +
                QStringLiteral("件以上あり、大変、時間が掛かることが予想されます。") +
                QStringLiteral("\r\n\r\n") + QStringLiteral("やってみますか？"),
            QStringLiteral("データ量多し"));
    return true;
}

} // namespace klavoro
