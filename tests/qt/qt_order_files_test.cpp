// Orders through the real file dialog, as a customer uses it: whatever Qt's dialog leaves behind
// (it leaves floating-point flags raised), a chosen order is loaded and priced; a name typed
// without its extension never replaces the file of the full name without a question.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
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

// The real save dialog with `name` typed into it and Enter pressed.
std::function<bool(QWidget*)> TypeIntoFileDialog(const std::string& name) {
    return [name](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) return false;
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        edit->setText(QString::fromStdString(name));
        QTimer::singleShot(0, edit, [edit] { QTest::keyClick(edit, Qt::Key_Return); });
        return true;
    };
}

TEST(QtOrderFiles, AnOrderChosenInTheRealDialogIsLoadedAndPriced) {
    const std::filesystem::path file = testhome::Root() / "work" / "qt-load.SAV";
    PutFileBytes(file, "割引券:0\r\n013,0000,156,0,本\r\n013,0001,156,0,二冊目\r\n");
    std::unique_ptr<UserInput> input = Backends().at(0).make();
    StartProgramForTest(input->platform());
    kvtest::WithModalSteps({TypeIntoFileDialog(file.string())},
                           [&] {
                               input->Click(rt::WindowOf(BUTTON4));
                               RunQueuedRoutines();
                           });
    EXPECT_EQ(TITLE_COUNT(0), 2);
    EXPECT_EQ(TITLE_NAME(1, 0), Text("二冊目"));
    EXPECT_GT(KIND_SUBTOTAL(0), 0);
    EndProgramForTest();
}

TEST(QtOrderFiles, ANameTypedWithoutItsExtensionAsksBeforeReplacingTheFileOfTheFullName) {
    const std::filesystem::path folder = testhome::Root() / "work";
    const std::string before = "割引券:0\r\n013,0000,156,0,前からある本\r\n";
    PutFileBytes(folder / "qt-save.SAV", before);
    std::unique_ptr<UserInput> input = Backends().at(0).make();
    StartProgramForTest(input->platform());
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        QString question;
        kvtest::WithModalSteps({TypeIntoFileDialog((folder / "qt-save").string()),
                                [&](QWidget* modal) {
                                    auto* box = qobject_cast<QMessageBox*>(modal);
                                    if (!box) return false;
                                    question = box->text();
                                    box->button(answer)->click();
                                    return true;
                                }},
                               [&] {
                                   input->Click(rt::WindowOf(BUTTON3));
                                   RunQueuedRoutines();
                               });
        EXPECT_TRUE(question.endsWith(kvtest::Q(u8"qt-save.SAV」は既に存在します。上書きしますか？"))) << question.toStdString();
        EXPECT_EQ(FileBytes(folder / "qt-save.SAV"), answer == QMessageBox::No ? before : "割引券:0\r\n");
    }
    EndProgramForTest();
}

}  // namespace
