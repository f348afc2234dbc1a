#include "runtime/backends/qt/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "runtime/backends/qt/qt_text.h"
#include "tests/qt/qt_test_support.h"

namespace rt::qt {
namespace {

using kvtest::Q;
using kvtest::WithModalSteps;

TEST(FileFilters, KeepTheDescriptionAndMatchRegardlessOfLetterCase) {
    EXPECT_EQ(CaseInsensitiveGlob(QStringLiteral("A?[1].c")), QStringLiteral("[Aa]?[[]1[]].[Cc]"));
    FileDialogSpec params;
    params.initialFolder = "/tmp";
    params.filters = {{"ﾃｷｽﾄ形式(*.TXT,*.CSV)", {"*.TXT", "*.CSV"}}, {"すべてのﾌｧｲﾙ(*.*)", {"*.*"}}};
    const FileDialogStart start = PlanFileDialog(params);
    EXPECT_EQ(start.nameFilters,
              (QStringList{Q(u8"ﾃｷｽﾄ形式(*.TXT,*.CSV) (*.[Tt][Xx][Tt] *.[Cc][Ss][Vv])"), Q(u8"すべてのﾌｧｲﾙ(*.*) (*)")}));
    EXPECT_EQ(start.selectedFilter, 0);
    EXPECT_EQ(start.folder, QStringLiteral("/tmp"));
    EXPECT_TRUE(start.fileName.isEmpty());
}

TEST(FileFilters, APatternAsInitialNameFiltersInsteadOfNamingAFile) {
    FileDialogSpec params;
    params.initialName = "*.sav";
    params.filters = {{"ﾃｷｽﾄ形式(*.TXT)", {"*.TXT"}}, {"ｾｰﾌﾞﾌｧｲﾙ(*.SAV)", {"*.SAV"}}};
    FileDialogStart start = PlanFileDialog(params);
    EXPECT_TRUE(start.fileName.isEmpty());
    EXPECT_EQ(start.nameFilters.size(), 2);
    EXPECT_EQ(start.selectedFilter, 1);  // the given filter with that pattern

    params.filters.pop_back();
    start = PlanFileDialog(params);
    ASSERT_EQ(start.nameFilters.size(), 2);
    EXPECT_EQ(start.nameFilters.at(0), QStringLiteral("*.sav (*.[Ss][Aa][Vv])"));
    EXPECT_EQ(start.selectedFilter, 0);

    params.initialName = "メール添付用.TXT";
    start = PlanFileDialog(params);
    EXPECT_EQ(start.fileName, Q(u8"メール添付用.TXT"));
    EXPECT_EQ(start.folder, QDir::currentPath());  // no folder given
}

struct AnswerCase {
    MessageButtons buttons;
    int press;  // index of the button to click, -1 for Esc, -2 for Enter
    Answer expected;
    DefaultButton defaultButton = DefaultButton::First;
};

class MessageBoxAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(MessageBoxAnswers, AreTheProgramsCodes) {
    const AnswerCase& c = GetParam();
    QtPlatform platform;
    Answer answer = Answer::Ignore;
    WithModalSteps({[&](QWidget* modal) {
                       auto* box = qobject_cast<QMessageBox*>(modal);
                       if (!box) return false;
                       if (c.press < 0) {
                           QTest::keyClick(box, c.press == -1 ? Qt::Key_Escape : Qt::Key_Return);
                       } else {
                           const auto wanted = ButtonsOf(c.buttons).at(static_cast<size_t>(c.press)).button;
                           box->button(wanted)->click();
                       }
                       return true;
                   }},
                   [&] { answer = platform.MessageBox(0, "題", "本文", c.buttons, MessageIcon::Information, c.defaultButton); });
    EXPECT_EQ(answer, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MessageBoxAnswers,
    ::testing::Values(AnswerCase{MessageButtons::Ok, 0, Answer::Ok}, AnswerCase{MessageButtons::Ok, -1, Answer::Ok},
                      AnswerCase{MessageButtons::OkCancel, 0, Answer::Ok},
                      AnswerCase{MessageButtons::OkCancel, 1, Answer::Cancel},
                      AnswerCase{MessageButtons::OkCancel, -1, Answer::Cancel},
                      AnswerCase{MessageButtons::AbortRetryIgnore, 1, Answer::Retry},
                      AnswerCase{MessageButtons::AbortRetryIgnore, 2, Answer::Ignore},
                      AnswerCase{MessageButtons::AbortRetryIgnore, -1, Answer::Abort},
                      AnswerCase{MessageButtons::YesNoCancel, 0, Answer::Yes},
                      AnswerCase{MessageButtons::YesNoCancel, -1, Answer::Cancel},
                      AnswerCase{MessageButtons::YesNo, 1, Answer::No}, AnswerCase{MessageButtons::YesNo, -1, Answer::No},
                      AnswerCase{MessageButtons::YesNo, -2, Answer::Yes},
                      AnswerCase{MessageButtons::YesNo, -2, Answer::No, DefaultButton::Second},
                      AnswerCase{MessageButtons::RetryCancel, 0, Answer::Retry},
                      AnswerCase{MessageButtons::RetryCancel, -1, Answer::Cancel}));

TEST(MessageBox, ShowsTitleTextIconAndJapaneseButtons) {
    QtPlatform platform;
    WithModalSteps({[&](QWidget* modal) {
                       auto* box = qobject_cast<QMessageBox*>(modal);
                       if (!box) return false;
                       EXPECT_EQ(box->windowTitle(), Q(u8"入力エラーメッセージ"));
                       EXPECT_EQ(box->text(), Q(u8"その割引券の番号では\n有効期限が過ぎています。¥0"));
                       EXPECT_EQ(box->icon(), QMessageBox::Critical);
                       EXPECT_EQ(box->button(QMessageBox::Yes)->text(), Q(u8"はい(&Y)"));
                       EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
                       QTest::keyClick(box, Qt::Key_Return);  // the first button is the default
                       return true;
                   }},
                   [&] {
                       EXPECT_EQ(platform.MessageBox(0, "入力エラーメッセージ",
                                                     "その割引券の番号では\r\n有効期限が過ぎています。\x5C" "0",
                                                     MessageButtons::YesNo, MessageIcon::Stop),
                                 Answer::Yes);
                   });
}

// The runtime error report: the warning icon, OK and Help; Help shows the help and brings the
// report back; only OK (or Esc) ends it.
class ErrorReportBox : public ::testing::Test {
protected:
    static QMessageBox* Box(QWidget* modal) { return qobject_cast<QMessageBox*>(modal); }
    static bool IsReport(QMessageBox* box) { return box && box->button(QMessageBox::Help); }
    void Show() {
        platform.ErrorReport(0, "KALVORO.EXE", "\r\nKalvoro [42行]:エラー[9]\n配列の添字が範囲外です",
                             "エラー[9]について\r\n登録できる数を超えました。\r\n/state/kalvoro/last-error");
    }
    QtPlatform platform;
};

TEST_F(ErrorReportBox, HasTheWarningIconOkAndHelp) {
    WithModalSteps({[&](QWidget* modal) {
                       QMessageBox* box = Box(modal);
                       if (!IsReport(box)) return false;
                       EXPECT_EQ(box->windowTitle(), QStringLiteral("KALVORO.EXE"));
                       EXPECT_EQ(box->text(), Q(u8"\nKalvoro [42行]:エラー[9]\n配列の添字が範囲外です"));
                       EXPECT_EQ(box->icon(), QMessageBox::Warning);
                       EXPECT_EQ(box->buttons().size(), 2);
                       QAbstractButton* ok = box->button(QMessageBox::Ok);
                       EXPECT_TRUE(ok);
                       if (!ok) {
                           QTest::keyClick(box, Qt::Key_Escape);
                           return true;
                       }
                       EXPECT_EQ(ok->text(), QStringLiteral("OK"));
                       EXPECT_EQ(box->button(QMessageBox::Help)->text(), Q(u8"ヘルプ(&H)"));
                       EXPECT_EQ(box->defaultButton(), ok);
                       ok->click();
                       return true;
                   }},
                   [&] { Show(); });
}

TEST_F(ErrorReportBox, HelpShowsTheHelpThenTheReportAgainUntilOk) {
    int reportsSeen = 0;
    auto helpThenBack = [&](QWidget* modal) {
        QMessageBox* box = Box(modal);
        if (!IsReport(box)) return false;
        ++reportsSeen;
        box->button(QMessageBox::Help)->click();
        return true;
    };
    auto readHelp = [&](QWidget* modal) {
        QMessageBox* box = Box(modal);
        if (!box || IsReport(box)) return false;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("KALVORO.EXE"));
        EXPECT_EQ(box->text(), Q(u8"エラー[9]について\n登録できる数を超えました。\n/state/kalvoro/last-error"));
        EXPECT_EQ(box->buttons().size(), 1);
        QTest::keyClick(box, Qt::Key_Escape);  // leaves the help, not the program
        return true;
    };
    auto ok = [&](QWidget* modal) {
        QMessageBox* box = Box(modal);
        if (!IsReport(box)) return false;
        ++reportsSeen;
        box->button(QMessageBox::Ok)->click();
        return true;
    };
    WithModalSteps({helpThenBack, readHelp, helpThenBack, readHelp, ok}, [&] { Show(); });
    EXPECT_EQ(reportsSeen, 3);
}

TEST_F(ErrorReportBox, EscEndsItAsOkDoes) {
    WithModalSteps({[&](QWidget* modal) {
                       QMessageBox* box = Box(modal);
                       if (!IsReport(box)) return false;
                       QTest::keyClick(box, Qt::Key_Escape);
                       return true;
                   }},
                   [&] { Show(); });
}

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const char8_t* name : {u8"注文.SAV", u8"other.sav", u8"memo.txt"}) {
            QFile file(dir.filePath(Q(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        params.title = "ロード";
        params.initialFolder = *PathToSjis(dir.path());
        params.initialName = "*.SAV";
        params.filters = {{"ｾｰﾌﾞﾌｧｲﾙ(*.SAV)", {"*.SAV"}}};
        params.kind = FileDialogKind::Open;
        params.fileMustExist = true;
    }

    // Types a name into the dialog's name field and accepts it, once the step has returned (the
    // dialog may ask something in a modal loop of its own).
    static void Choose(QFileDialog* dialog, const QString& name) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(name);
        QTimer::singleShot(0, edit, [edit] { QTest::keyClick(edit, Qt::Key_Return); });
    }

    QTemporaryDir dir;
    FileDialogSpec params;
    QtPlatform platform;
};

TEST_F(FileDialogTest, ReturnsTheChosenPathInShiftJis) {
    std::optional<std::string> path;
    WithModalSteps({[&](QWidget* modal) {
                       auto* dialog = qobject_cast<QFileDialog*>(modal);
                       if (!dialog) return false;
                       EXPECT_EQ(dialog->windowTitle(), Q(u8"ロード"));
                       EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
                       EXPECT_EQ(dialog->nameFilters(), QStringList{Q(u8"ｾｰﾌﾞﾌｧｲﾙ(*.SAV) (*.[Ss][Aa][Vv])")});
                       EXPECT_EQ(dialog->selectedNameFilter(), Q(u8"ｾｰﾌﾞﾌｧｲﾙ(*.SAV)"));  // as shown
                       Choose(dialog, Q(u8"注文.SAV"));
                       return true;
                   }},
                   [&] { path = platform.FileDialog(params); });
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, *PathToSjis(dir.filePath(Q(u8"注文.SAV"))));
}

TEST_F(FileDialogTest, SavingOverAFileAsksFirst) {
    params.kind = FileDialogKind::Save;
    params.overwritePrompt = true;
    std::optional<std::string> path;
    WithModalSteps({[&](QWidget* modal) {
                        auto* dialog = qobject_cast<QFileDialog*>(modal);
                        if (!dialog) return false;
                        Choose(dialog, QStringLiteral("other.sav"));
                        return true;
                    },
                    [&](QWidget* modal) {
                        auto* box = qobject_cast<QMessageBox*>(modal);
                        if (!box) return false;
                        box->button(QMessageBox::Yes)->click();
                        return true;
                    }},
                   [&] { path = platform.FileDialog(params); });
    EXPECT_EQ(path, PathToSjis(dir.filePath(QStringLiteral("other.sav"))));
}

TEST_F(FileDialogTest, CancelGivesNothing) {
    std::optional<std::string> path = "unchanged";
    WithModalSteps({[&](QWidget* modal) {
                       if (!qobject_cast<QFileDialog*>(modal)) return false;
                       QTest::keyClick(modal, Qt::Key_Escape);
                       return true;
                   }},
                   [&] { path = platform.FileDialog(params); });
    EXPECT_EQ(path, std::nullopt);
}

TEST_F(FileDialogTest, ANameShiftJisCannotHoldIsExplainedAndTheDialogComesBack) {
    const QString bad = Q(u8"€uro.SAV");
    QFile file(dir.filePath(bad));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    std::optional<std::string> path;
    WithModalSteps({[&](QWidget* modal) {
                        auto* dialog = qobject_cast<QFileDialog*>(modal);
                        if (!dialog) return false;
                        Choose(dialog, bad);
                        return true;
                    },
                    [&](QWidget* modal) {
                        auto* box = qobject_cast<QMessageBox*>(modal);
                        if (!box) return false;
                        EXPECT_TRUE(box->text().contains(dir.filePath(bad))) << box->text().toStdString();
                        box->button(QMessageBox::Ok)->click();
                        return true;
                    },
                    [&](QWidget* modal) {
                        auto* dialog = qobject_cast<QFileDialog*>(modal);
                        if (!dialog) return false;
                        Choose(dialog, QStringLiteral("other.sav"));
                        return true;
                    }},
                   [&] { path = platform.FileDialog(params); });
    EXPECT_EQ(path, PathToSjis(dir.filePath(QStringLiteral("other.sav"))));
}

// The folder of the last file chosen is where the next run's first dialog starts, when the
// program would start it in the current folder; a folder given by the program is kept, and a
// remembered folder that is gone is forgotten.
class RememberedFolderTest : public FileDialogTest {
protected:
    void SetUp() override {
        FileDialogTest::SetUp();
        ASSERT_TRUE(other.isValid());
        record = QDir(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))).filePath(QStringLiteral("kalvoro/last-folder"));
        QFile::remove(record);
        params.initialFolder = *PathToSjis(QDir::currentPath() + QStringLiteral("/"));
    }
    void TearDown() override { QFile::remove(record); }
    QString Shown() {
        QString folder;
        WithModalSteps({[&](QWidget* modal) {
                           auto* dialog = qobject_cast<QFileDialog*>(modal);
                           if (!dialog) return false;
                           folder = QDir(dialog->directory()).canonicalPath();
                           QTest::keyClick(modal, Qt::Key_Escape);
                           return true;
                       }},
                       [&] { platform.FileDialog(params); });
        return folder;
    }

    QTemporaryDir other;
    QString record;
};

TEST_F(RememberedFolderTest, TheFirstDialogStartsWhereTheLastRunChoseAFile) {
    EXPECT_EQ(Shown(), QDir::current().canonicalPath()) << "nothing remembered yet";
    EXPECT_FALSE(QFile::exists(record)) << "a cancelled dialog remembers nothing";

    RememberFolder(other.path());
    EXPECT_EQ(RememberedFolder(), other.path());
    EXPECT_EQ(Shown(), QDir(other.path()).canonicalPath());
    // A folder the program names is where the dialog starts, remembered or not.
    params.initialFolder = *PathToSjis(dir.path() + QStringLiteral("/"));
    EXPECT_EQ(Shown(), QDir(dir.path()).canonicalPath());

    // A file chosen in `dir` is remembered, and from then on this run follows the program.
    WithModalSteps({[&](QWidget* modal) {
                       auto* dialog = qobject_cast<QFileDialog*>(modal);
                       if (!dialog) return false;
                       Choose(dialog, Q(u8"注文.SAV"));
                       return true;
                   }},
                   [&] { platform.FileDialog(params); });
    EXPECT_EQ(QDir(RememberedFolder()).canonicalPath(), QDir(dir.path()).canonicalPath());
    params.initialFolder = *PathToSjis(QDir::currentPath() + QStringLiteral("/"));
    EXPECT_EQ(Shown(), QDir::current().canonicalPath()) << "after a choice, the program's folder";
}

TEST_F(RememberedFolderTest, AFolderThatIsGoneIsForgottenQuietly) {
    const QString gone = other.path() + QStringLiteral("/gone");
    ASSERT_TRUE(QDir().mkdir(gone));
    RememberFolder(gone);
    ASSERT_TRUE(QDir().rmdir(gone));
    EXPECT_EQ(Shown(), QDir::current().canonicalPath());
    EXPECT_FALSE(QFile::exists(record));
}

}  // namespace
}  // namespace rt::qt
