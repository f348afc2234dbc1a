// The file dialog speaks the desktop's language. Run in the test's own locale and once more
// with LANG=ja_JP.UTF-8 (tests/qt/CMakeLists.txt).
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "tests/qt/qt_test_support.h"

namespace {

using kvtest::Q;

TEST(FileDialogLanguage, IsTheDesktopsForItsButtonsHeadingsAndTypes) {
    const QLocale::Language language = QLocale::system().language();
    if (language != QLocale::Japanese && language != QLocale::C && language != QLocale::English) GTEST_SKIP();
    const QStringList expected = language == QLocale::Japanese
        ? QStringList{Q(u8"保存(&S)"), Q(u8"キャンセル"), Q(u8"名前"), Q(u8"サイズ"), Q(u8"タイプ"), Q(u8"更新日"), Q(u8"フォルダ")}
        : QStringList{"&Save", "Cancel", "Name", "Size", "Type", "Date Modified", "Folder"};
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    rt::QtPlatform platform;
    rt::FileDialogSpec params;  // a save dialog
    params.initialFolder = dir.path().toStdString();
    QStringList shown;
    kvtest::WithModalSteps({[&](QWidget* modal) {
                               if (!qobject_cast<QFileDialog*>(modal)) return false;
                               auto* buttons = modal->findChild<QDialogButtonBox*>();
                               shown << buttons->button(QDialogButtonBox::Save)->text()
                                     << buttons->button(QDialogButtonBox::Cancel)->text();
                               const QAbstractItemModel* view = modal->findChild<QTreeView*>()->model();
                               for (int c = 0; c < 4; ++c) shown << view->headerData(c, Qt::Horizontal).toString();
                               auto* files = modal->findChild<QFileSystemModel*>();
                               const QModelIndex sub = files->index(dir.filePath(QStringLiteral("sub")));
                               EXPECT_TRUE(QTest::qWaitFor([&] { return !files->type(sub).isEmpty(); }));
                               shown << files->type(sub);
                               QTest::keyClick(modal, Qt::Key_Escape);
                               return true;
                           }},
                           [&] { platform.FileDialog(params); });
    EXPECT_EQ(shown.join(u'|').toStdString(), expected.join(u'|').toStdString());
}

}  // namespace
