// kalvoro-print.so: Qt's print dialog and the printer it chooses (see qt_print_dialog.h).
#include "runtime/backends/qt/qt_print_dialog.h"

#include <QPrintDialog>
#include <QPrinter>

extern "C" __attribute__((visibility("default"))) rt::qt::PrintDialogOutcome kalvoro_print_with_dialog(
    const rt::qt::PrintRequest& request) {
    using rt::qt::PrintDialogOutcome;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(request.docName);
    printer.setCreator(QStringLiteral("Kalvoro"));
    printer.setPageLayout(request.layout);
    QPrintDialog dialog(&printer, request.owner);
    dialog.setWindowTitle(request.title);
    if (dialog.exec() != QDialog::Accepted) return PrintDialogOutcome::Cancelled;
    const QPageRanges ranges = printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
    const int copies = printer.supportsMultipleCopies() ? 1 : printer.copyCount();
    if (!request.paint(printer, ranges, copies) || printer.printerState() == QPrinter::Error)
        return PrintDialogOutcome::Failed;
    return PrintDialogOutcome::Printed;
}
