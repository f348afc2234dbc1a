// Loading an order through the real file dialog, as a customer does: whatever Qt's dialog leaves
// behind (it leaves floating-point flags raised), the order is loaded and priced.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "app/fee/order_model.h"
#include "app/screens/controls.h"
#include "tests/qt/qt_test_support.h"
#include "tests/screens/program_run.h"
#include "tests/support/file_bytes.h"
#include "tests/support/test_home.h"
#include "tests/support/user_input.h"

namespace {

TEST(QtOrderFiles, AnOrderChosenInTheRealDialogIsLoadedAndPriced) {
    const std::filesystem::path file = testhome::Root() / "work" / "qt-load.SAV";
    PutFileBytes(file, "割引券:0\r\n013,0000,156,0,本\r\n013,0001,156,0,二冊目\r\n");
    std::unique_ptr<UserInput> input = Backends().at(0).make();
    StartProgramForTest(input->platform());
    kvtest::WithModalSteps({[&](QWidget* modal) {
                               auto* dialog = qobject_cast<QFileDialog*>(modal);
                               if (!dialog) return false;
                               auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                               edit->setText(QString::fromStdString(file.string()));
                               QTimer::singleShot(0, edit, [edit] { QTest::keyClick(edit, Qt::Key_Return); });
                               return true;
                           }},
                           [&] {
                               input->Click(rt::WindowOf(BUTTON4));
                               RunQueuedRoutines();
                           });
    EXPECT_EQ(TITLE_COUNT(0), 2);
    EXPECT_EQ(TITLE_NAME(1, 0), Text("二冊目"));
    EXPECT_GT(KIND_SUBTOTAL(0), 0);
    EndProgramForTest();
}

}  // namespace
