// Printing and PDF files: the layout of a text on pages, the print dialog, the PDF's bytes.
#include "runtime/backends/qt/qt_print.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QHash>
#include <QLibrary>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

#include "runtime/backends/qt/qt_fonts.h"
#include "runtime/backends/qt/qt_print_dialog.h"
#include "runtime/backends/qt/qt_text.h"
#include "runtime/backends/qt/qt_window.h"

namespace rt::qt {
namespace {

constexpr qreal kMarginMm = 15;
// Rows a little further apart than the box sets them: paper is read, not scrolled.
constexpr qreal kRowSpacing = 1.2;
// A font given in pixels was sized for a screen of 96 dots an inch: the statement box's 14
// pixels are 10.5 points on paper.
constexpr qreal kPointsPerPixel = 72.0 / 96.0;
constexpr qreal kDefaultPoints = 10.5;

qreal PointsOf(const FontSpec& font) {
    if (font.size <= 0) return kDefaultPoints;
    return font.unit == FontUnit::Pixels ? font.size * kPointsPerPixel : font.size;
}

bool IsBlank(char32_t c) { return c == u' ' || c == u'\u3000'; }

// One character of a line: its code point and its length in the QString.
struct Character {
    char32_t code;
    int length;
};

Character CharacterAt(const QString& line, int i) {
    if (line.at(i).isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate())
        return {QChar::surrogateToUcs4(line.at(i), line.at(i + 1)), 2};
    return {line.at(i).unicode(), 1};
}

int WidestCells(const std::vector<QString>& lines) {
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, CellsOf(line));
    return widest;
}

// A half-width cell of the fixed-pitch face, in ems.
qreal CellInEms(const FontSpec& boxFont) {
    QFont font = MakeFont(boxFont, FontUse::ByteColumns);
    font.setPixelSize(1000);
    return QFontMetricsF(font).horizontalAdvance(QChar(u'0')) / 1000;
}

// The text's face and rows on the pages of one device.
class PageSetting {
public:
    PageSetting(QPaintDevice& device, const std::vector<QString>& lines, const FontSpec& boxFont)
        : device_(device), font_(MakeFont(boxFont, FontUse::ByteColumns), &device) {
        font_.setKerning(false);
        const qreal width = device.width();
        const int widest = std::max(WidestCells(lines), 1);
        qreal points = PointsOf(boxFont);
        // The face's advances do not quite scale with its size: it is measured again until the
        // widest line fits.
        for (int attempt = 0; attempt < 8; ++attempt) {
            font_.setPointSizeF(points);
            cell_ = QFontMetricsF(font_, &device).horizontalAdvance(QChar(u'0'));
            if (widest * cell_ <= width) break;
            points *= 0.999 * width / (widest * cell_);
        }
        const QFontMetricsF metrics(font_, &device);
        ascent_ = metrics.ascent();
        row_ = metrics.height() * kRowSpacing;
        // Two rows at the foot of each page for its number.
        rowsPerPage_ = std::max(1, static_cast<int>(std::floor(device.height() / row_)) - 2);
        const int count = static_cast<int>(lines.size());
        pages_ = std::max(1, (count + rowsPerPage_ - 1) / rowsPerPage_);
    }

    int Pages() const { return pages_; }
    int RowsPerPage() const { return rowsPerPage_; }
    const QFont& Font() const { return font_; }

    // Each character starts at its cell, so the columns stay aligned whatever the face's
    // advances: runs of characters that fill their cells exactly are drawn together, and a
    // character drawn wider (the yen sign is full-width in these faces) is narrowed to its cells.
    void DrawLine(QPainter& painter, const QString& line, int row) {
        const qreal baseline = row * row_ + ascent_;
        QString run;
        int runStart = 0, column = 0;
        auto flush = [&] {
            if (!run.isEmpty()) painter.drawText(QPointF(runStart * cell_, baseline), run);
            run.clear();
        };
        for (int i = 0; i < line.size();) {
            const Character c = CharacterAt(line, i);
            const QString drawn = line.mid(i, c.length);
            const int cells = SjisWidth(c.code);
            i += c.length;
            if (IsBlank(c.code) || c.code < 0x20) {
                flush();  // a run starts again at its own cell after every gap
            } else if (const qreal want = cells * cell_, have = Advance(c.code, drawn);
                       std::abs(have - want) <= want * 0.002) {
                if (run.isEmpty()) runStart = column;
                run += drawn;
            } else {
                flush();
                painter.save();
                painter.translate(column * cell_, baseline);
                if (have > want) painter.scale(want / have, 1);
                painter.drawText(QPointF(0, 0), drawn);
                painter.restore();
            }
            column += cells;
        }
        flush();
    }

    void DrawPageNumber(QPainter& painter, int page) {
        const QRectF foot(0, device_.height() - row_, device_.width(), row_);
        painter.drawText(foot, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("%1 / %2").arg(page).arg(pages_));
    }

private:
    qreal Advance(char32_t code, const QString& drawn) {
        if (auto it = advances_.constFind(code); it != advances_.constEnd()) return *it;
        return *advances_.insert(code, QFontMetricsF(font_, &device_).horizontalAdvance(drawn));
    }

    QPaintDevice& device_;
    QFont font_;
    qreal cell_ = 1, ascent_ = 0, row_ = 1;
    int rowsPerPage_ = 1, pages_ = 1;
    QHash<char32_t, qreal> advances_;
};


}  // namespace

std::vector<QString> PrintLines(const std::string& sjis) {
    std::vector<QString> lines;
    const QString text = FromSjis(sjis, LineEnds::CrLf);
    for (QString line : text.split(u'\n')) {
        while (!line.isEmpty() && IsBlank(line.back().unicode())) line.chop(1);
        lines.push_back(line);
    }
    while (!lines.empty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
}

int CellsOf(const QString& line) {
    int cells = 0;
    for (int i = 0; i < line.size();) {
        const Character c = CharacterAt(line, i);
        cells += SjisWidth(c.code);
        i += c.length;
    }
    return cells;
}

QPageLayout StatementPageLayout(const std::vector<QString>& lines, const FontSpec& font) {
    const QPageSize a4(QPageSize::A4);
    const qreal across = a4.size(QPageSize::Millimeter).width() - 2 * kMarginMm;
    const qreal widest = WidestCells(lines) * CellInEms(font) * PointsOf(font) * 25.4 / 72;
    const auto orientation = widest <= across ? QPageLayout::Portrait : QPageLayout::Landscape;
    return QPageLayout(a4, orientation, QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
}

bool PaintPages(QPagedPaintDevice& device, const std::vector<QString>& lines, const FontSpec& font,
                const QPageRanges& ranges, int copies) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    PageSetting setting(device, lines, font);
    painter.setFont(setting.Font());
    painter.setPen(Qt::black);
    bool first = true;
    for (int copy = 0; copy < std::max(copies, 1); ++copy) {
        for (int page = 1; page <= setting.Pages(); ++page) {
            if (!ranges.isEmpty() && !ranges.contains(page)) continue;
            if (!first && !device.newPage()) {
                painter.end();
                return false;
            }
            first = false;
            const size_t top = static_cast<size_t>(page - 1) * static_cast<size_t>(setting.RowsPerPage());
            for (size_t i = top; i < lines.size() && i < top + static_cast<size_t>(setting.RowsPerPage()); ++i)
                setting.DrawLine(painter, lines[i], static_cast<int>(i - top));
            setting.DrawPageNumber(painter, page);
        }
    }
    return painter.end();
}

}  // namespace rt::qt

namespace rt {

namespace {

// The module beside the program (the build tree) or where it is installed, loaded once.
qt::PrintWithDialogFunction PrintModule(QString* problem) {
    static qt::PrintWithDialogFunction function = nullptr;
    static QString missing;
    static bool tried = false;
    if (!tried) {
        tried = true;
        const QString here = QCoreApplication::applicationDirPath() + QLatin1Char('/');
        for (const QString& path : {here + QLatin1String(qt::kPrintModuleName),
                                    here + QStringLiteral(KALVORO_PRINT_MODULE_FROM_BIN)}) {
            QLibrary module(path);
            if (module.load()) {
                function = reinterpret_cast<qt::PrintWithDialogFunction>(module.resolve(qt::kPrintWithDialogSymbol));
                if (function) break;
            }
            missing = module.errorString();
        }
    }
    if (!function && problem) *problem = missing;
    return function;
}

}  // namespace

PrintResult QtPlatform::PrintText(const PrintJob& job) {
    BeforeEvents();  // the forms are drawn behind the dialog
    QString problem;
    const qt::PrintWithDialogFunction printWithDialog = PrintModule(&problem);
    if (!printWithDialog) return {PrintOutcome::Failed, "the printing module cannot be loaded: " + problem.toStdString()};
    const std::vector<QString> lines = qt::PrintLines(job.text);
    qt::PrintRequest request;
    request.owner = OwnerWidget(job.owner);
    request.title = qt::FromSjis(job.caption);
    request.docName = qt::FromSjis(job.documentName);
    request.layout = qt::StatementPageLayout(lines, job.font);
    request.paint = [&](QPagedPaintDevice& device, const QPageRanges& ranges, int copies) {
        return qt::PaintPages(device, lines, job.font, ranges, copies);
    };
    switch (printWithDialog(request)) {
        case qt::PrintDialogOutcome::Printed: return {PrintOutcome::Printed, {}};
        case qt::PrintDialogOutcome::Cancelled: return {PrintOutcome::Cancelled, {}};
        case qt::PrintDialogOutcome::Failed: break;
    }
    return {PrintOutcome::Failed, "the printer did not take the pages"};
}

PdfResult QtPlatform::RenderPdf(const PrintJob& job) {
    const std::vector<QString> lines = qt::PrintLines(job.text);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(qt::FromSjis(job.documentName));
        writer.setCreator(QStringLiteral("Kalvoro"));
        writer.setPageLayout(qt::StatementPageLayout(lines, job.font));
        if (!qt::PaintPages(writer, lines, job.font, {}, 1)) return {std::nullopt, "the PDF writer did not start"};
    }
    return {std::string(bytes.constData(), static_cast<size_t>(bytes.size())), {}};
}

}  // namespace rt
