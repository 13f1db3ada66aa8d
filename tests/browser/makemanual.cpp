// Writes a sample capture folder with its HTML manual and its Markdown file
// for the browser checks, and expected.json: what each must show per step.
#include "capture/encoders.h"
#include "export/htmlmanual.h"
#include "export/manualsteps.h"
#include "export/markdownwriter.h"
#include "export/numbertext.h"
#include "store/dialogs.h"
#include "store/imagename.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>

#include <cstdio>

using namespace klavoro;

namespace {

class QuietHost : public HtmlManualHost {
public:
    void showProgress(const QString&, int) override {}
    void setStatus(const QString&) override {}
    void letEventsRun() override {}
    bool cancelRequested() const override { return false; }
    void openPage(const QString&) override {}
};

class PrintingDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
    bool askYesNo(const QString&, const QString&, bool) override { return false; }
};

struct Step {
    QString name, message, ext;
    int width = 0, height = 0; // of the image to make; 0: none
};

bool makeImage(const QString& path, int w, int h, QColor colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    QPainter p(&img);
    p.setPen(QPen(Qt::white, 6));
    p.drawRoundedRect(QRect(w / 4, h / 4, w / 2, h / 2), 8, 8);
    p.end();
    return writeByExtension(img, path, 90);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s FOLDER PARTS_JS full|thumb\n", argv[0]);
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + '/';
    const QString parts = QString::fromLocal8Bit(argv[2]);
    const bool thumbnails = QByteArray(argv[3]) == "thumb";
    QDir().mkpath(folder);

    const QList<Step> steps = {
        {"2026120609050300", QStringLiteral("[OK](ボタン)を、クリックします。"), "jpg", 640, 400},
        {"1234", "A & B", "png", 500, 300},
        {"2026120609050302", QStringLiteral("メモの手順"), "txt", 0, 0},
        {"2026120609050303", QStringLiteral("一行目\u0004二行目"), "jpg", 320, 480},
        {QStringLiteral("x' onerror='window.pwned=1' 😀"),
         QStringLiteral("\"<script>window.pwned=2</script>\" & 😀 © ®"), "png", 300, 200},
        {"", QStringLiteral("画像なしの手順"), "", 0, 0},
        {"2026120609050306", QStringLiteral("[閉じる](ボタン)を、クリックします。"), "gif", 200,
         150},
        {"2026120609050307", QStringLiteral("山田 & <太郎> \"x\" *強調* `code` - 1. | ~"), "jpg",
         260, 120},
        {"2026120609050308", QStringLiteral("長い説明文です。").repeated(25), "png", 120, 90},
    };
    StepList list;
    QJsonArray expected;
    Settings& s = conf();
    for (int i = 0; i < steps.size(); ++i) {
        const Step& st = steps[i];
        const QString file = st.name.isEmpty() ? QString() : escapeName(st.name) + '.' + st.ext;
        if (st.ext == QLatin1String("txt")) {
            QFile f(folder + file);
            if (!f.open(QIODevice::WriteOnly) || f.write("memo") != 4) return 1;
        } else if (st.width > 0 && !makeImage(folder + file, st.width, st.height,
                                              QColor::fromHsv(i * 50 % 360, 160, 150))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        list.append(buildStepLine(i + 1, st.name, st.message, st.ext, QString()));
        const QStringList lines = st.message.split(QChar(4));
        // The HTML manual leaves notes out; Markdown keeps their heading.
        const bool note = st.ext == QLatin1String("txt");
        expected.append(QJsonObject{{"no", stepNumberText(i + 1, s)},
                                    {"text", lines.join('\n')},
                                    {"heading", stepNumberText(i + 1, s) + lines.first()},
                                    {"more", lines.mid(1).join('\n')},
                                    {"alt", lines.join(' ')},
                                    {"note", note},
                                    {"image", note ? QString() : file},
                                    {"width", st.width},
                                    {"height", st.height}});
    }
    PrintingDialogs dialogs;
    QuietHost host;
    const HtmlResult r = writeHtmlManual(list, s, {folder, parts}, thumbnails, dialogs, host);
    if (r != HtmlResult::Written) {
        std::fprintf(stderr, "the manual was not written (%d)\n", int(r));
        return 1;
    }
    const ManualSteps manual = ManualSteps::of(list, folder, s);
    QFile md(folder + "manual.md");
    if (!md.open(QIODevice::WriteOnly) ||
        md.write(markdownText(manual, manualTitle(folder), manualDate()).toUtf8()) < 0)
        return 1;
    md.close();
    QFile out(folder + "expected.json");
    if (!out.open(QIODevice::WriteOnly)) return 1;
    out.write(QJsonDocument(QJsonObject{{"thumbnails", thumbnails},
                                        {"title", manualTitle(folder)},
                                        {"date", manualDate()},
                                        {"steps", expected}})
                  .toJson());
    return 0;
}
