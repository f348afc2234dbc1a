#pragma once
// Texts on paper: the lines of a read-only table box (the fee statements) laid out on pages in
// its fixed-pitch face, for the printer chosen in the print dialog and for PDF files alike.
#include <QPageLayout>
#include <QPageRanges>
#include <QString>

#include <string>
#include <vector>

#include "runtime/backends/platform.h"

class QPagedPaintDevice;

namespace rt::qt {

// The lines of a text as they go on paper: CR LF ends a line; the blanks at a line's end and the
// empty lines at the text's end are left off, since they would only add an empty page.
std::vector<QString> PrintLines(const std::string& sjis);

// The half-width cells of a line: each character takes as many as it has Shift-JIS bytes, as in
// the box on screen.
int CellsOf(const QString& line);

// A4 with margins of 15 mm, portrait when the widest line fits across it at the box's own size,
// landscape otherwise, where the text is set larger. The print dialog starts with it.
QPageLayout StatementPageLayout(const std::vector<QString>& lines, const FontSpec& font);

// Paints the lines on the device's pages, one line a row, the face sized down as far as the
// widest line needs to fit the width, and the page's number and the count at each page's foot
// ("2 / 7"). Pages outside `ranges` (none: all) are left out; `copies` repeats the whole run
// for a device that makes no copies itself. False when the painter could not start.
bool PaintPages(QPagedPaintDevice& device, const std::vector<QString>& lines, const FontSpec& font,
                const QPageRanges& ranges, int copies);

}  // namespace rt::qt
