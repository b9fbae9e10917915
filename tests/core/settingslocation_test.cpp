#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/settingslocation.h"
#include "support/ordinaryuser.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

constexpr auto kOpenFolder = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                             QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther;

}  // namespace

TEST(SettingsLocation, BesideTheProgramWhenItsFolderTakesFiles) {
    TempFolder program, home;
    const QString config = home.file(q("config"));
    SettingsLocation loc = chooseSettingsLocation(program.path(), q("kadrano.ini"), config);
    EXPECT_EQ(loc.path, program.file(q("kadrano.ini")));
    EXPECT_TRUE(loc.seededFrom.isEmpty());
    // Also when a file in the configuration folder exists: the portable copy decides.
    home.write(q("config/kadrano.ini"), "[Settings]\r\nA=config\r\n");
    loc = chooseSettingsLocation(program.path(), q("kadrano.ini"), config);
    EXPECT_EQ(loc.path, program.file(q("kadrano.ini")));
    EXPECT_EQ(program.names(), QStringList()) << "the probe was left behind";
}

TEST(SettingsLocation, AnInstalledProgramKeepsItsSettingsInTheConfigurationFolder) {
    TempFolder program, home;
    const QByteArray beside("[Settings]\r\nKeine_Nachfragen=1\r\n");
    program.write(q("kadrano.ini"), beside);
    program.write(q("secret.ini"), beside);
    QFile::setPermissions(program.file(q("secret.ini")), QFileDevice::Permissions());
    QFile::setPermissions(program.path(), kOpenFolder & ~QFileDevice::WriteOwner);
    QFile::setPermissions(home.path(), kOpenFolder);
    test::giveToOrdinaryUser(home.path());

    KADRANO_AS_ORDINARY_USER(run, [&] {
        QStringList answer;
        auto choose = [&](const char* name, const char* config) {
            const SettingsLocation loc =
                chooseSettingsLocation(program.path(), q(name), home.file(q(config)));
            answer << loc.path << loc.seededFrom << QString::fromUtf8(readAll(loc.path));
        };
        // The file beside the program is carried over once, byte for byte ...
        choose("kadrano.ini", "config");
        // ... and a configuration file of its own is never overwritten from there.
        QFile f(home.file(q("config/kadrano.ini")));
        if (f.open(QIODevice::WriteOnly))
            f.write("[Settings]\r\nKeine_Nachfragen=0\r\n");
        f.close();
        choose("kadrano.ini", "config");
        // Nothing beside the program: the configuration folder is made ready for the first save.
        choose("other.ini", "fresh/config");
        answer << (QFileInfo(home.file(q("fresh/config"))).isDir() ? q("folder") : q("no folder"));
        // A file beside the program that cannot be read stays where it is (reading it fails
        // and is said; nothing is written).
        choose("secret.ini", "config2");
        return answer.join(u'|').toUtf8();
    });
    QFile::setPermissions(program.path(), kOpenFolder);

    const QStringList answer = QString::fromUtf8(run.answer).split(u'|');
    const QStringList expected = {home.file(q("config/kadrano.ini")),
                                  program.file(q("kadrano.ini")),
                                  QString::fromUtf8(beside),
                                  home.file(q("config/kadrano.ini")),
                                  QString(),
                                  q("[Settings]\r\nKeine_Nachfragen=0\r\n"),
                                  home.file(q("fresh/config/other.ini")),
                                  QString(),
                                  q("<unreadable>"),
                                  q("folder"),
                                  program.file(q("secret.ini")),
                                  QString(),
                                  q("<unreadable>")};
    EXPECT_EQ(answer, expected);
    EXPECT_EQ(program.read(q("kadrano.ini")), beside);
}
