// The statements on paper: a maximal order's work-fee details and fee summary saved as PDF from
// the statement box's menu and read back with pdftotext; a PDF that cannot be written gets the
// usual file message; Ctrl+P opens the print dialog.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <numeric>
#include <regex>
#include <sstream>

#include "app/documents/fee_summary.h"
#include "app/documents/statement_screen.h"
#include "app/documents/statement_text.h"
#include "app/documents/work_fee_details.h"
#include "app/files/order_commands.h"
#include "app/forms/controls.h"
#include "runtime/backends/qt/qt_print.h"
#include "runtime/values/encoding.h"
#include "tests/qt/qt_test_support.h"
#include "tests/screens/program_run.h"
#include "tests/support/file_bytes.h"
#include "tests/support/test_home.h"
#include "tests/support/user_input.h"

namespace {

namespace fs = std::filesystem;

// One title line of each kind; the comics are compensated, which fills the remarks column.
const char* const kChoices[kKindCount] = {"0131,1111,300,0,", "121,0110,375,0,", "202,0000,200,1,", "302,1000,156,0,",
                                          "413,0001,600,0,"};

// The lines of a UTF-8 text, each blank run (half- or full-width) one blank and none at either
// end: pdftotext -layout sets the gaps by measure, not by count.
std::vector<std::string> Lines(const std::string& text) {
    static const std::regex blanks("( |\xE3\x80\x80|\r)+");
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line, '\n');) {
        line = std::regex_replace(" " + line + " ", blanks, " ");
        lines.push_back(line.size() < 2 ? std::string() : line.substr(1, line.size() - 2));
    }
    return lines;
}

std::string PdfText(const fs::path& pdf) {
    const fs::path txt = fs::path(pdf).replace_extension(".txt");
    const std::string command = "pdftotext -layout '" + pdf.string() + "' '" + txt.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command << " (pdftotext is in poppler-utils)";
    return FileBytes(txt);
}

std::function<bool(QWidget*)> TypeIntoFileDialog(const fs::path& path) {
    return [path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) return false;
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        edit->setText(QString::fromStdString(path.string()));
        QTimer::singleShot(0, edit, [edit] { QTest::keyClick(edit, Qt::Key_Return); });
        return true;
    };
}

std::function<bool(QWidget*)> Answer(QMessageBox::StandardButton button, QString* text = nullptr) {
    return [button, text](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) return false;
        if (text) *text = box->text();
        box->button(button)->click();
        return true;
    };
}

class QtPrint : public ::testing::Test {
protected:
    void SetUp() override {
        std::string file = "割引券:10\r\n";
        for (int i = 0; i < 10; ++i) file += "26123100" + std::to_string(10 + i) + "\r\n";
        // Every slot of every kind, the names longer than their column and cut inside a kanji.
        for (int k = 0; k < kKindCount; ++k)
            for (int t = 0; t < 121; ++t) file += kChoices[k] + std::to_string(t % 10) + "書籍の名前がとても長い本\r\n";
        PutFileBytes(folder / "maximal.SAV", file);
        StartProgramForTest(platform());
        Obj main{kMainWindow};
        ASSERT_TRUE(LoadOrder(main, (folder / "maximal.SAV").string()));
        // The mail attachment declined, the details shown.
        kvtest::WithModalSteps({Answer(QMessageBox::Cancel), Answer(QMessageBox::Ok)}, [&] { Click(BUTTON2); });
        ASSERT_EQ(STATEMENT_MODE, 1);
    }
    void TearDown() override { EndProgramForTest(); }

    rt::QtPlatform& platform() { return static_cast<rt::QtPlatform&>(input->platform()); }
    QWidget* Box() { return platform().Widget(rt::WindowOf(EDIT6)); }
    void Click(const Obj& button) {
        input->Click(rt::WindowOf(button));
        RunQueuedRoutines();
    }
    // Chooses a command of the statement box's menu, as its menu item does.
    void Choose(const QString& caption) {
        QAction* chosen = nullptr;
        for (QAction* action : Box()->actions())
            if (action->text() == caption) chosen = action;
        ASSERT_NE(chosen, nullptr) << caption.toStdString();
        chosen->trigger();
        RunQueuedRoutines();
    }

    fs::path folder = testhome::Root() / "work";
    std::unique_ptr<UserInput> input = Backends().at(0).make();
};

TEST_F(QtPrint, BothStatementsOfAMaximalOrderGoToPdfLineForLineWithTheirPagesNumbered) {
    for (const Statement statement : {Statement::WorkFeeDetails, Statement::Estimate}) {
        const bool details = statement == Statement::WorkFeeDetails;
        if (!details) Click(BUTTON21);
        const fs::path pdf = folder / (details ? "details.PDF" : "estimate.PDF");
        kvtest::WithModalSteps({TypeIntoFileDialog(pdf)}, [&] { Choose(kvtest::Q(u8"PDFに保存…")); });
        const std::vector<std::string> want =
            Lines(rt::SjisToUtf8Shown(StatementFileBytes(statement, details ? 作業代明細_SUB() : 見積書_SUB()).view()));
        std::vector<std::string> pages;
        std::istringstream in(PdfText(pdf));
        for (std::string page; std::getline(in, page, '\f');) pages.push_back(page);
        ASSERT_GE(pages.size(), details ? 5u : 1u);
        // Every line of the text file, in order; the page numbers in between.
        std::vector<std::string> got;
        for (size_t p = 0; p < pages.size(); ++p) {
            std::vector<std::string> lines = Lines(pages[p]);
            const std::string number = std::to_string(p + 1) + " / " + std::to_string(pages.size());
            EXPECT_NE(std::find(lines.begin(), lines.end(), number), lines.end()) << number;
            got.insert(got.end(), lines.begin(), lines.end());
        }
        auto at = got.begin();
        for (const std::string& line : want) {
            if (line.empty()) continue;
            at = std::find(at, got.end(), line);
            ASSERT_NE(at, got.end()) << (details ? "details" : "estimate") << " lacks, or has out of order: " << line;
        }
    }
}

// A text that ends part-way down its last page, on all its pages and on those of a range chosen
// in the print dialog: each page printed holds its rows, and no page outside the range is.
TEST_F(QtPrint, APartlyFilledLastPageAndAChosenRangeArePrinted) {
    std::vector<QString> lines;
    for (int i = 1; i <= 101; ++i) lines.push_back(QStringLiteral("row %1").arg(i));
    const rt::FontSpec font = platform().Font(rt::WindowOf(EDIT6));
    auto print = [&](const QPageRanges& ranges) {
        {
            QPdfWriter writer(QString::fromStdString((folder / "pages.PDF").string()));
            writer.setPageLayout(rt::qt::StatementPageLayout(lines, font));
            EXPECT_TRUE(rt::qt::PaintPages(writer, lines, font, ranges, 1));
        }
        std::vector<std::vector<std::string>> pages;
        std::istringstream in(PdfText(folder / "pages.PDF"));
        for (std::string page; std::getline(in, page, '\f');) pages.push_back(Lines(page));
        return pages;
    };
    const auto all = print({});
    ASSERT_GE(all.size(), 2u);
    const int count = static_cast<int>(all.size()), rows = static_cast<int>(std::count_if(
        all[0].begin(), all[0].end(), [](const std::string& line) { return line.starts_with("row "); }));
    ASSERT_NE(101 % rows, 0) << "the last page is only partly filled";
    const std::vector<int> choices[] = {{}, {2}, {1, count}};
    for (const std::vector<int>& chosen : choices) {
        QPageRanges ranges;
        for (int page : chosen) ranges.addPage(page);
        std::vector<int> want(chosen.empty() ? count : 0);
        std::iota(want.begin(), want.end(), 1);
        if (!chosen.empty()) want = chosen;
        const auto pages = print(ranges);
        ASSERT_EQ(pages.size(), want.size());
        for (size_t p = 0; p < want.size(); ++p) {
            auto has = [&](const std::string& line) { return std::count(pages[p].begin(), pages[p].end(), line) == 1; };
            EXPECT_TRUE(has(std::to_string(want[p]) + " / " + std::to_string(count))) << want[p];
            for (int row = (want[p] - 1) * rows + 1; row <= std::min(want[p] * rows, 101); ++row)
                EXPECT_TRUE(has("row " + std::to_string(row))) << "page " << want[p] << " lacks row " << row;
        }
    }
}

TEST_F(QtPrint, APdfThatCannotBeWrittenGetsTheUsualFileMessage) {
    // A file where a folder is wanted: no one can write below it, root included.
    PutFileBytes(folder / "not-a-folder", "");
    const fs::path pdf = folder / "not-a-folder" / "details.PDF";
    QString message;
    kvtest::WithModalSteps({TypeIntoFileDialog(pdf), Answer(QMessageBox::Ok, &message)},
                           [&] { Choose(kvtest::Q(u8"PDFに保存…")); });
    EXPECT_TRUE(message.startsWith(kvtest::Q(u8"ファイル「") + QString::fromStdString(pdf.string()) +
                                   kvtest::Q(u8"」に書き込めません。\n")))
        << message.toStdString();
    EXPECT_TRUE(message.endsWith(kvtest::Q(u8"同じ名前のファイルがあった場合、そのファイルは元のままです。")));
}

TEST_F(QtPrint, CtrlPOpensThePrintDialogOfTheStatementOnShow) {
    QString title;
    kvtest::WithModalSteps({[&](QWidget* modal) {
                               auto* dialog = qobject_cast<QPrintDialog*>(modal);
                               if (!dialog) return false;
                               title = dialog->windowTitle();
                               dialog->reject();
                               return true;
                           }},
                           [&] {
                               kvtest::Settle(platform());  // the shortcut needs the form active
                               QTest::keyClick(Box(), Qt::Key_P, Qt::ControlModifier);
                               RunQueuedRoutines();
                           });
    EXPECT_EQ(title, kvtest::Q(u8"明細書の印刷"));
}

// By keyboard: Shift+F10 opens the statement box's menu with its commands; the window may be
// enlarged, never below the size the form gives, and the box takes what it gains.
TEST_F(QtPrint, ShiftF10OpensTheMenuAndTheStatementGrowsWithItsWindow) {
    QStringList offered;
    QObject context;  // no menu: the polling goes with the test
    // Polled until the menu shows: a slow machine (the sanitizers' build) may open it later than
    // any fixed delay, and a menu nobody closes never returns.
    std::function<void()> poll = [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (const QAction* action : menu->actions()) offered << action->text();
            menu->close();
        } else {
            QTimer::singleShot(20, &context, poll);
        }
    };
    QTimer::singleShot(20, &context, poll);
    kvtest::Settle(platform());
    Box()->setFocus();
    QTest::keyClick(Box(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(offered.contains(kvtest::Q(u8"印刷…")) && offered.contains(kvtest::Q(u8"PDFに保存…"))) << offered.join(',').toStdString();

    QWidget* form = Box()->window();
    const QSize given = form->size(), box = Box()->size();
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    form->resize(given + QSize(480, 120));
    EXPECT_EQ(Box()->size(), box + QSize(480, 120));
    form->resize(given - QSize(1, 1));
    EXPECT_EQ(form->size(), given);
    EXPECT_EQ(Box()->size(), box);
}

}  // namespace
