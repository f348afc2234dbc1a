#pragma once
// The print dialog lives in a module of its own (kalvoro-print.so), loaded the first time the
// customer prints: Qt's print support is a library as large as a screen's worth of widgets, and
// every start would load and relocate it for a dialog most runs never open. The module is only
// the dialog and the printer; the pages are painted by the program, through `paint`.
#include <QPageLayout>
#include <QPageRanges>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QWidget;

namespace rt::qt {

struct PrintRequest {
    QWidget* owner = nullptr;
    QString title;    // the dialog's
    QString docName;  // the print queue's name for the job
    QPageLayout layout;
    // Paints the pages chosen (none: all) `copies` times; false when the painter did not start.
    std::function<bool(QPagedPaintDevice&, const QPageRanges&, int copies)> paint;
};

enum class PrintDialogOutcome { Printed, Cancelled, Failed };

// The module's one entry point, looked up by this name.
using PrintWithDialogFunction = PrintDialogOutcome (*)(const PrintRequest& request);
inline constexpr char kPrintWithDialogSymbol[] = "kalvoro_print_with_dialog";
inline constexpr char kPrintModuleName[] = "kalvoro-print.so";

}  // namespace rt::qt
