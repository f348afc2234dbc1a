// kalvoro --screenshot: the form as the Qt back end draws it after a scripted run.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/qt/qt_test_support.h"

namespace {

struct Shot {
    int exitCode;
    QImage image;
    QString errors;
};

Shot RunKalvoro(const QStringList& arguments, const QByteArray& script = {}) {
    QTemporaryDir dir;
    QStringList args = arguments;
    args.replaceInStrings(QStringLiteral("OUT"), dir.filePath(QStringLiteral("form.png")));
    if (!script.isEmpty()) {
        QFile file(dir.filePath(QStringLiteral("run.kvs")));
        file.open(QIODevice::WriteOnly);
        file.write(script);
        file.close();
        args << QStringLiteral("--script") << file.fileName();
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KALVORO_TODAY"), QStringLiteral("2026-12-07"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KALVORO_EXE), args);
    process.waitForFinished(30000);
    return {process.exitCode(), QImage(dir.filePath(QStringLiteral("form.png"))),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(Screenshot, DrawsTheMainFormWithItsColours) {
    Shot shot = RunKalvoro({QStringLiteral("--screenshot"), QStringLiteral("MAINFORM"), QStringLiteral("OUT")},
                    QByteArray(reinterpret_cast<const char*>(u8"expect MAINFORM.TEXT12 text ０円\n")));
    ASSERT_EQ(shot.exitCode, 0) << shot.errors.toStdString();
    ASSERT_FALSE(shot.image.isNull());
    EXPECT_EQ(shot.image.width(), 646);
    EXPECT_EQ(shot.image.height(), 418);
    // The grand total's yellow box, left of its right-aligned text.
    EXPECT_EQ(shot.image.pixelColor(480, 244), QColor(255, 255, 0));
    // The form's own white background.
    EXPECT_EQ(shot.image.pixelColor(5, 400), QColor(255, 255, 255));
}

TEST(Screenshot, DrawsAHiddenFormAndRefusesAnUnknownOne) {
    Shot form3 = RunKalvoro({QStringLiteral("--screenshot"), QStringLiteral("FORM3"), QStringLiteral("OUT")});
    ASSERT_EQ(form3.exitCode, 0) << form3.errors.toStdString();
    EXPECT_EQ(form3.image.size(), QSize(646, 480));
    Shot unknown = RunKalvoro({QStringLiteral("--screenshot"), QStringLiteral("FORM9"), QStringLiteral("OUT")});
    EXPECT_NE(unknown.exitCode, 0);
    EXPECT_TRUE(unknown.errors.contains(QStringLiteral("no form named FORM9")));
    EXPECT_TRUE(unknown.image.isNull());
}

TEST(Screenshot, AFailedScriptIsReportedAndStillDrawn) {
    Shot shot = RunKalvoro({QStringLiteral("--screenshot"), QStringLiteral("MAINFORM"), QStringLiteral("OUT")},
                    QByteArray("expect MAINFORM.TEXT12 text 1\n"));
    EXPECT_EQ(shot.exitCode, 1);
    EXPECT_FALSE(shot.image.isNull());
}

}  // namespace
