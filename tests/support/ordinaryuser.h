#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace kadrano::test {

// Permission bits mean nothing to root, and the tests often run as root. Checks that
// depend on them run in a child process as an ordinary user: as root the child gives up
// its rights for those of "nobody" (65534); as anyone else it keeps its own.
struct OrdinaryUserRun {
    bool ran = false;
    QByteArray answer;  // what the work returned
    QString reason;     // why it did not run
};

// Runs work in the child and hands back what it returned. The work must not use the
// test framework's assertions (they would be counted in the child); it reports in its answer.
OrdinaryUserRun runAsOrdinaryUser(const std::function<QByteArray()>& work);

// Gives a file or folder to the user the child runs as (nothing to do unless we are root).
void giveToOrdinaryUser(const QString& path);

}  // namespace kadrano::test

// Runs work as an ordinary user, or skips the test with the printed reason.
#define KADRANO_AS_ORDINARY_USER(result, ...)            \
    const ::kadrano::test::OrdinaryUserRun result =      \
        ::kadrano::test::runAsOrdinaryUser(__VA_ARGS__); \
    if (!result.ran)                                     \
    GTEST_SKIP() << "cannot run as an ordinary user: " << result.reason.toStdString()
