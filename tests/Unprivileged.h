#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace TestSupport {

// File permissions do not bind the superuser, and test machines often run tests as
// root. A test that needs them starts with
//
//     if (!runsUnprivileged())
//         return;
//
// As an ordinary user it simply goes on. As root it runs the same test function and
// data row again in a child process of this program that has become `nobody`, and
// reports the child's verdict as its own.
inline bool runsUnprivileged()
{
    if (::geteuid() != 0)
        return true;
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody)
        QTest::qSkip("running as root, and there is no user `nobody` to run as", __FILE__, __LINE__);
    if (!nobody)
        return false;
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    QString selector = QString::fromLatin1(QTest::currentTestFunction());
    if (const char* tag = QTest::currentDataTag())
        selector += QLatin1Char(':') + QString::fromUtf8(tag);
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setChildProcessModifier([uid, gid] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(125);
    });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), QStringLiteral("/tmp"));
    environment.insert(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {selector});
    const bool finished = child.waitForFinished(120000);
    const QByteArray output = child.readAll();
    // 125: the switch of user failed; failing to start: `nobody` may not run this
    // program where it lies (a build under a private home folder).
    if (child.error() == QProcess::FailedToStart
        || (finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 125)) {
        QTest::qSkip("running as root, and this process cannot become `nobody`", __FILE__, __LINE__);
        return false;
    }
    const bool passed = finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    if (!passed)
        QTest::qFail(qPrintable(QStringLiteral("as `nobody`:\n") + QString::fromLocal8Bit(output)), __FILE__, __LINE__);
    return false;
}

} // namespace TestSupport
