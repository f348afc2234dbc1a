// Orders through the real file dialog, as a customer uses it: whatever Qt's dialog leaves behind
// (it leaves floating-point flags raised), a chosen order is loaded and priced; a name typed
// without its extension never replaces the file of the full name without a question.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "app/fee/order_model.h"
#include "app/forms/controls.h"
#include "runtime/backends/qt/qt_platform.h"
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

namespace {

// A drag from a file manager that ends over `target`: enter, move, drop, as Qt delivers them.
bool DropOn(QWidget* target, QMimeData& data) {
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

// Dropped anywhere on the main screen, the edit boxes included, an order file is loaded; a file
// of another kind, and text, are left to what they were before.
TEST(QtOrderFiles, AnOrderFileDroppedOnTheMainScreenIsLoaded) {
    const std::filesystem::path folder = testhome::Root() / "work";
    PutFileBytes(folder / "dropped.SAV", "割引券:0\r\n013,0000,156,0,落とした本\r\n");
    PutFileBytes(folder / "titles.CSV", "題名\r\n本\r\n");
    PutFileBytes(folder / "second.SAV", "割引券:0\r\n013,0000,156,0,二つ目の本\r\n");
    std::unique_ptr<UserInput> input = Backends().at(0).make();
    StartProgramForTest(input->platform());
    auto& qt = static_cast<rt::QtPlatform&>(input->platform());
    // The coupon box's edit field would take a file's address as text.
    QWidget* coupon = qt.Widget(rt::WindowOf(COMBO1))->findChild<QLineEdit*>();
    ASSERT_NE(coupon, nullptr);
    auto files = [&](std::initializer_list<const char*> names) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const char* name : names) urls << QUrl::fromLocalFile(QString::fromStdString((folder / name).string()));
        data->setUrls(urls);
        return std::unique_ptr<QMimeData>(data);
    };
    auto list = files({"titles.CSV"});
    EXPECT_TRUE(DropOn(coupon, *list));
    RunQueuedRoutines();
    EXPECT_EQ(TITLE_COUNT(0), 0) << "not an order file";

    QMimeData text;
    text.setText(QStringLiteral("2612310035"));
    EXPECT_FALSE(DropOn(qt.Widget(rt::WindowOf(TEXT1)), text)) << "text is not taken by the form";

    // Of two orders dropped together, the first is loaded.
    auto both = files({"titles.CSV", "dropped.SAV", "second.SAV"});
    EXPECT_TRUE(DropOn(coupon, *both));
    RunQueuedRoutines();
    ASSERT_EQ(TITLE_COUNT(0), 1);
    EXPECT_EQ(TITLE_NAME(0, 0), Text("落とした本"));
    EXPECT_EQ(qt.GetText(rt::WindowOf(COMBO1)), "") << "the edit box under the pointer took nothing";
    EndProgramForTest();
}

}  // namespace
