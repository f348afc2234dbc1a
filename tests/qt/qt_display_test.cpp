// Which display the windows go to, from the session's variables and what answers there.
#include "runtime/backends/qt/qt_display.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QProcess>
#include <QTemporaryDir>

namespace {

TEST(QtDisplay, ChoosesXWheneverItAnswersAndWaylandOnlyWithoutIt) {
    const struct {
        // QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY; X, Wayland answers; xcb, Wayland plugin there
        rt::qt::DisplayFacts facts;
        const char* platform;
        const char* why;  // part of the refusal
    } cases[] = {
        {{"", ":0", "wayland-0", true, true, true, true}, "xcb", ""},
        {{"", ":0", "wayland-0", true, true, false, true}, "wayland", ""},
        {{"", ":1", "wayland-0", false, true, true, true}, "wayland", ""},
        {{"", ":0", "", true, false, false, true}, "", "The X display \":0\" answers, but Qt's platform plugin"},
        {{"", "", "wayland-0", false, true, true, false}, "", "The Wayland display \"wayland-0\" answers, but"},
        {{"", ":1", "wayland-9", false, false, true, true}, "", "reached, and the Wayland display \"wayland-9\""},
    };
    for (const auto& c : cases) {
        const rt::qt::DisplayChoice choice = rt::qt::ChooseDisplay(c.facts);
        EXPECT_EQ(choice.platform, c.platform) << c.facts.x << " " << c.facts.wayland;
        EXPECT_NE(choice.why.find(c.why), std::string::npos) << choice.why;
        EXPECT_EQ(choice.why.empty(), !choice.platform.empty()) << choice.why;
    }
}

// A compositor that has gone leaves its socket file behind. The program says itself that it
// cannot show windows, as for a socket that is not there, rather than have Qt abort.
TEST(QtDisplay, ADeadWaylandSocketIsRefusedByTheProgram) {
    QTemporaryDir runtime;
    sockaddr_un address{AF_UNIX, {}};
    qstrncpy(address.sun_path, runtime.filePath(QStringLiteral("wayland-7")).toLocal8Bit(), sizeof address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    for (const char* display : {"wayland-7", "wayland-8"}) {
        QProcess kalvoro;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), QString::fromLatin1(display));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        kalvoro.setProcessEnvironment(env);
        kalvoro.start(QStringLiteral(KALVORO_EXE), {});
        ASSERT_TRUE(kalvoro.waitForFinished(30000));
        const QByteArray errors = kalvoro.readAllStandardError();
        EXPECT_EQ(kalvoro.exitStatus(), QProcess::NormalExit) << errors.constData();
        EXPECT_EQ(kalvoro.exitCode(), 1);
        EXPECT_TRUE(errors.startsWith(QByteArray("kalvoro: The Wayland display \"") + display +
                                      "\" named by WAYLAND_DISPLAY cannot be reached."))
            << errors.constData();
    }
}

}  // namespace
