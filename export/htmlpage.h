#pragma once

#include <QString>
#include <QStringList>

namespace klavoro {

struct Settings;

// The pieces of index.htm. Every text here is the page's own markup; the
// writer (htmlmanual) feeds them the steps.

// "<span class='headding'>" + the escaped sentence + "</span>"; the lines of
// a sentence are joined by "<br>".
QString sentenceHtml(const QStringList& lines);

// The step's image: `foundFile` is the file the image name was found as
// (empty when none was found), `imageName` the name from the step line,
// `altText` what a reader who does not see the picture is told instead.
// Thumbnail style links the file and shows Thumb/Thumb_<name>.jpg.
QString imageHtml(const QString& imageName, const QString& foundFile, bool thumbnails,
                  const QString& altText);

// The block of one step: heading line and image line, CR LF separated.
QString stepBlockHtml(const QString& numberText, const QStringList& lines, const QString& image);

// The manual's heading: the title and the date under it.
QString titleHtml(const QString& title, const QString& date);

// The style element that draws the image border of the `html border` settings.
QString borderStyleHtml(const Settings& settings);

// The whole page around the menu fragment and the step blocks; `title` is the
// page's title and heading, `date` stands under the heading.
QString pageHtml(const QString& title, const QString& date, const QString& menuFragment,
                 const QString& body, const QString& borderStyle);

// Appends in three layers (blocks into a small buffer, every 50 steps into a
// middle one, every 1000 into the large one), so a long list never copies the
// large buffer for each step.
class LayeredText {
public:
    void append(const QString& block);
    // Call after each step, counted from 1.
    void stepDone(int step);
    QString take();

private:
    QString m_small, m_middle, m_large;
};

} // namespace klavoro
