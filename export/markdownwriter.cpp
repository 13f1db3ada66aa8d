#include "export/markdownwriter.h"

#include "export/documentsteps.h"
#include "export/htmltext.h"
#include "export/manualsteps.h"
#include "export/newfile.h"

#include <QSaveFile>

namespace klavoro {

QString markdownInline(const QString& text) {
    static const QString special = QStringLiteral("\\`*_[]<>&|~#");
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (special.contains(c)) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c == '\t' || c == '\r' || c == '\n') {
            out += QLatin1Char(' ');
        } else {
            out += c;
        }
    }
    return out;
}

QString markdownLine(const QString& text) {
    QString line = markdownInline(text.trimmed());
    if (line.isEmpty()) return line;
    // "- x", "+ x", "= x", "> x" or "12. x" at the start of a line is a block.
    const QChar first = line.front();
    if (first == '-' || first == '+' || first == '=' || first == '>') return '\\' + line;
    qsizetype digits = 0;
    while (digits < line.size() && digits < 10 && line[digits].isDigit() &&
           line[digits].unicode() < 0x80)
        ++digits;
    if (digits > 0 && digits < line.size() && (line[digits] == '.' || line[digits] == ')'))
        line.insert(digits, QLatin1Char('\\'));
    return line;
}

QString markdownText(const ManualSteps& steps, const QString& title, const QString& date,
                     ExportHost* progress) {
    const int count = steps.count();
    const int interval = progressInterval(count);
    QString out;
    out.reserve(256 + count * 120);
    out += QStringLiteral("# ") + markdownInline(title) + QStringLiteral("\n\n");
    out += markdownLine(date) + QStringLiteral("\n");
    for (int i = 1; i <= count; ++i) {
        if (progress && i % interval == 0)
            progress->showProgress(
                QStringLiteral("Markdown作成中 ...... %1/%2\r\n").arg(i).arg(count));
        const ManualStep step = steps.step(i);
        out += QStringLiteral("\n## ") + markdownInline(step.numberText + step.lines.first()) +
               QLatin1Char('\n');
        // Further lines of the sentence, each on its own line.
        QStringList more;
        for (qsizetype k = 1; k < step.lines.size(); ++k) {
            const QString line = markdownLine(step.lines[k]);
            if (!line.isEmpty()) more << line;
        }
        if (!more.isEmpty()) out += QLatin1Char('\n') + more.join(QStringLiteral("\\\n")) + '\n';
        if (!step.fileName.isEmpty() && !step.textFile)
            out += QStringLiteral("\n![") + markdownInline(step.altText()) + QStringLiteral("](") +
                   urlSegment(step.fileName) + QStringLiteral(")\n");
    }
    if (progress) progress->showProgress(QString());
    return out;
}

MarkdownWriter::MarkdownWriter(ExportHost& host, const Settings& settings)
    : DocumentWriter(host, settings, QStringLiteral("md")) {}

bool MarkdownWriter::writeTo(const QString& path) {
    m_error.clear();
    const ManualSteps steps = ManualSteps::of(m_host, m_settings);
    const QByteArray text =
        markdownText(steps, manualTitle(steps.folder()), manualDate(), &m_host).toUtf8();
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return true;
    m_error = file.errorString();
    return false;
}


} // namespace klavoro
