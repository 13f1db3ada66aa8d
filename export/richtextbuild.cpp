#include "export/richtextbuild.h"

#include "export/documentlayout.h"
#include "export/documentsteps.h"
#include "export/manualsteps.h"
#include "export/stepdocument.h"
#include "store/dialogs.h"
#include "store/settings.h"

#include <QTextCursor>
#include <QTextImageFormat>

namespace klavoro {

int buildRichText(StepDocument& document, ExportHost& host, const Settings& settings) {
    const ManualSteps steps = ManualSteps::of(host, settings);
    const int count = steps.count();
    const int interval = progressInterval(count);
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);

    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    // Text is inserted with an explicit format: after a picture the cursor's
    // own format would be the picture's.
    const QTextCharFormat text = cursor.charFormat();
    const QTextBlockFormat block = cursor.blockFormat();
    QTextBlockFormat kept = block;
    kept.setProperty(kKeepWithNext, true);
    QTextBlockFormat heading = kept;
    heading.setHeadingLevel(2);
    QTextCharFormat title = text, date = text, bold = text;
    title.setFontWeight(QFont::Bold);
    title.setFontPointSize(page::kTitleSize);
    date.setFontPointSize(page::kDateSize);
    date.setForeground(QColor(0x59, 0x59, 0x59));
    bold.setFontWeight(QFont::Bold);

    cursor.beginEditBlock();
    QTextBlockFormat titleBlock = kept;
    titleBlock.setHeadingLevel(1);
    cursor.setBlockFormat(titleBlock);
    cursor.insertText(manualTitle(steps.folder()), title);
    cursor.insertBlock(kept, date);
    cursor.insertText(manualDate(), date);
    cursor.insertBlock(block, text);
    cursor.insertBlock(block, text);
    int pictures = 0;
    for (int i = 1; i <= count; ++i) {
        if (i % interval == 0)
            host.showProgress(QStringLiteral("作成中 ...... %1/%2\r\n").arg(i).arg(count));
        const ManualStep step = steps.withPicture(i);
        // Heading and the empty line after it stay on the page of the picture.
        cursor.setBlockFormat(heading);
        cursor.setBlockCharFormat(bold);
        cursor.insertText(step.numberText + step.lines.first(), bold);
        for (qsizetype k = 1; k < step.lines.size(); ++k) {
            cursor.insertBlock(heading, bold);
            cursor.insertText(step.lines[k], bold);
        }
        cursor.insertBlock(kept, text);
        cursor.insertBlock(block, text);
        if (step.hasPicture()) {
            const QSize shown = limitWidth(step.size, settings.dispImgMaxWidth);
            QTextImageFormat image;
            image.setName(document.addPictureFile(step.filePath, shown));
            image.setWidth(shown.width());
            image.setHeight(shown.height());
            image.setToolTip(step.altText());
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
