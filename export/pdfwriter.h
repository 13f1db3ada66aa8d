#pragma once

#include "export/newfile.h"

#include <QByteArrayView>
#include <QString>

namespace klavoro {

class ExportHost;
struct Settings;

// Writes the steps as a PDF laid out as the Word document is: A4, the title
// and the date, per step its heading kept on the page of its picture, the
// picture at its natural size (at most the text width) in a thin frame, the
// page number in the footer, a bookmark per step. The text is real text in
// an embedded Japanese font, so it can be selected and searched. JPEG files
// go in as they are (full resolution, no second compression); other pictures
// are stored losslessly.
class PdfWriter : public DocumentWriter {
public:
    PdfWriter(ExportHost& host, const Settings& settings);

    bool writeTo(const QString& path) override;

    // Pages of the last document written.
    int pageCount() const { return m_pages; }

private:
    int m_pages = 0;
};

// Whether a JPEG file can go into a PDF unchanged: a baseline or progressive
// Huffman frame of one (grey) or three (colour) components.
bool isPlainJpeg(QByteArrayView data);

} // namespace klavoro
