#pragma once

#include "capture/imagedecoder.h"

#include <QAbstractScrollArea>
#include <QImage>

namespace klavoro {

struct Settings;
class Shell;

// The image viewer `Pic`: one picture at the display width chosen by the
// width slider, scrollable, panned by dragging with the left button. Files are
// decoded off the GUI thread; a missing, truncated or unreadable file leaves
// the viewer empty.
class ImageViewer : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ImageViewer(QWidget* parent = nullptr);
    ~ImageViewer() override;

    // Shows the image of a step (the first file folder + name + ".*"), and
    // decodes the neighbours' images ahead so that stepping on is instant.
    void showStep(const QString& folder, const QString& imageName,
                  const QStringList& neighbourNames = {});
    void showFile(const QString& path);
    void showImage(const QImage& image);
    // Reads the current file again (it changed on disk).
    void reload();
    void clear();

    // The picture shown at full size (null when none). Decoded now if the
    // worker has not delivered it yet.
    QImage image() const;
    QString filePath() const { return m_path; }
    // The picture's own size; empty when none is shown.
    QSize imageSize() const { return m_actual; }
    bool hasImage() const { return !m_actual.isEmpty(); }
    // True until the full picture of the latest request is there (or the
    // file was found missing or broken).
    bool isLoading() const { return m_loading; }

    // The next left drag (or any drag with Shift) draws a box instead of
    // panning; boxDrawn reports it in the pixels of the picture as displayed.
    void setBoxMode(bool on);
    bool boxMode() const { return m_boxMode; }

    void setDisplayWidth(int width);
    int displayWidth() const { return m_width; }
    // The picture's size on screen.
    QSize displayedSize() const;
    // The width a picture can have without a horizontal scroll bar.
    int innerWidth() const;

signals:
    // The latest request is on screen: its picture, or the empty viewer
    // (also after clear()).
    void imageShown();
    // A button was released over the picture. The release that ends a double
    // click is not reported, so a copy started by the first one can be stopped.
    void released(Qt::MouseButton button);
    void doubleClicked();
    void boxDrawn(const QRect& displayedBox);
    // The context menu is asked for at a global position.
    void rightClicked(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void onDecoded(quint64 generation, const DecodedImage& image);
    void setPicture(const QImage& full, const QImage& display, QSize actual);
    void updateScrollBars();

    mutable ImageDecoder m_decoder; // image() may have to decode, and keeps what it did
    quint64 m_generation = 0;
    quint64 m_shownGeneration = 0;
    QString m_path;
    QImage m_full;    // null until decoded
    QImage m_display; // what is drawn, scaled to the display size when it is not
    QSize m_actual;
    int m_width = 300;
    bool m_loading = false;
    bool m_dragging = false;
    bool m_boxMode = false;
    bool m_boxing = false;
    QPoint m_boxStart;
    QRect m_box; // displayed-picture pixels
    bool m_swallowRelease = false;
    QPoint m_dragStart;
    QPoint m_scrollStart;
};

// Opens the image with `editor path`, or with the desktop's default program
// (the viewer's double click). False when nothing was opened.
bool openViewerImage(const ImageViewer& viewer, const Settings& settings, Shell& shell);

} // namespace klavoro
