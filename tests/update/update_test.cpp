#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include "recordingupdatehost.h"
#include "support/fakehost.h"
#include "support/testfiles.h"
#include "testserver.h"
#include "update/update.h"

namespace kadrano {
namespace {

using test::RecordingPerson;
using test::RecordingUpdateHost;
using test::TempFolder;
using test::TestWebServer;

TEST(UpdaterCommandLine, PiecesInTheirOrder) {
    const QString address = QStringLiteral("https://kadrano.example/Kadrano/kadrano");
    EXPECT_EQ(updaterCommandLine(QStringLiteral("/opt/k/Update"), address, QString(),
                                 QStringLiteral("/opt/k/kadrano")),
              QStringLiteral("/opt/k/Update [URL]https://kadrano.example/Kadrano/kadrano "
                             "[PATH]/opt/k/kadrano"));
    // A command line of blanks adds nothing; a real one goes in as it came.
    EXPECT_EQ(updaterCommandLine(QStringLiteral("/opt/k/Update"), address, QStringLiteral("   "),
                                 QStringLiteral("/opt/k/kadrano")),
              QStringLiteral("/opt/k/Update [URL]https://kadrano.example/Kadrano/kadrano "
                             "[PATH]/opt/k/kadrano"));
    EXPECT_EQ(updaterCommandLine(QStringLiteral("/media/Meine Karte/Update"), address,
                                 QStringLiteral("/media/Urlaub 2019"),
                                 QStringLiteral("/media/Meine Karte/kadrano")),
              QStringLiteral("\"/media/Meine Karte/Update\" [URL]https://kadrano.example/Kadrano/"
                             "kadrano [PARAM1] /media/Urlaub 2019 [PATH]\"/media/Meine "
                             "Karte/kadrano\""));
    // A folder that would start a second command, or expand a variable, cannot do so.
    EXPECT_EQ(updaterCommandLine(QStringLiteral("/k/Update"), address,
                                 QStringLiteral("/x/A&B 100%"), QStringLiteral("/k/A&B/kadrano")),
              QStringLiteral("/k/Update [URL]https://kadrano.example/Kadrano/kadrano [PARAM1] "
                             "\"/x/A&B 100%%\" [PATH]\"/k/A&B/kadrano\""));
    EXPECT_EQ(updaterCommandLine(QStringLiteral("/k/Update"), address,
                                 QStringLiteral("/x/\"a\"\r\nrm x"), QStringLiteral("/k/kadrano")),
              QStringLiteral("/k/Update [URL]https://kadrano.example/Kadrano/kadrano "
                             "[PATH]/k/kadrano"));
}

TEST(UpdateServer, TheMakersServerOverHttps) {
    const UpdateServer server;
    EXPECT_TRUE(server.updaterAddress().startsWith(QStringLiteral("https://")));
    EXPECT_TRUE(server.updaterAddress().endsWith(u'/' + updaterFileName()));
    EXPECT_TRUE(server.newProgramAddress().startsWith(QString::fromLatin1(kUpdateServer) +
                                                      QStringLiteral("/Kadrano/")));
    EXPECT_EQ(server.webPage().toString(), QString::fromLatin1(kUpdateServer) + "/Kadrano/");
    EXPECT_EQ(server.webPageText(), QUrl(QString::fromLatin1(kUpdateServer)).host() + "/Kadrano");
}

class StartUpdateTest : public ::testing::Test {
protected:
    TempFolder program;
    TestWebServer web;
    UpdateServer server = UpdateServer::forLoopbackTests(web.base());
    UpdatePaths paths = UpdatePaths::forProgram(program.path(), QStringLiteral("kadrano"));
    RecordingPerson person;
    RecordingUpdateHost host;

    QString scriptLine() const {
        return QString::fromUtf8(program.read(QStringLiteral("kadrano_Update.bat"))).trimmed();
    }
};

TEST_F(StartUpdateTest, FetchesTheMissingUpdaterThenHandsOver) {
    web.serve(QStringLiteral("/") + updaterFileName(), {200, QByteArray("#!/bin/sh\n"), -1});
    ASSERT_TRUE(StartUpdate(server, paths, QStringLiteral("/media/Urlaub 2019"), person, host));

    EXPECT_EQ(program.read(updaterFileName()), "#!/bin/sh\n");
    EXPECT_TRUE(QFileInfo(paths.updaterPath).isExecutable());
    EXPECT_EQ(program.read(QStringLiteral("kadrano_Update.bat")),
              (paths.updaterPath + QStringLiteral(" [URL]") + server.newProgramAddress() +
               QStringLiteral(" [PARAM1] /media/Urlaub 2019 [PATH]") + paths.programPath +
               QStringLiteral("\r\n"))
                  .toUtf8());
    EXPECT_EQ(host.startedScripts, QStringList{paths.scriptPath});
    EXPECT_EQ(host.ends, 1);
    EXPECT_TRUE(person.boxes.empty());
}

TEST_F(StartUpdateTest, AnUpdaterThatIsThereIsUsedWithoutAsking) {
    program.write(updaterFileName(), "kept");
    program.write(QStringLiteral("kadrano_Update.bat"), "old script\r\nsecond line\r\n");
    ASSERT_TRUE(StartUpdate(server, paths, QString(), person, host));
    EXPECT_TRUE(web.requests().isEmpty());
    EXPECT_EQ(program.read(updaterFileName()), "kept");
    EXPECT_EQ(scriptLine(), paths.updaterPath + QStringLiteral(" [URL]") +
                                server.newProgramAddress() + QStringLiteral(" [PATH]") +
                                paths.programPath);
    EXPECT_EQ(host.ends, 1);
}

TEST_F(StartUpdateTest, AFailedDownloadSaysSoAndTheProgramGoesOn) {
    for (const TestWebServer::Response& r :
         {TestWebServer::Response{404, "no", -1},
          TestWebServer::Response{200, QByteArray(9000, 'u'), 100}}) {
        web.serve(QStringLiteral("/") + updaterFileName(), r);
        person.boxes.clear();
        EXPECT_FALSE(StartUpdate(server, paths, QString(), person, host));
        ASSERT_EQ(person.boxes.size(), 1u);
        EXPECT_EQ(person.boxes[0].title, QStringLiteral("Download Failed!"));
        EXPECT_EQ(person.boxes[0].text,
                  paths.updaterPath + QStringLiteral("\r\rDownload Failed! "));
        EXPECT_EQ(person.boxes[0].flags, Mb::OK | Mb::IconError);
        EXPECT_EQ(program.names(), QStringList());
    }
    // Nobody listening: the same.
    UpdateServer refusing = UpdateServer::forLoopbackTests(TestWebServer::refusingBase());
    EXPECT_FALSE(StartUpdate(refusing, paths, QString(), person, host));
    EXPECT_TRUE(host.startedScripts.isEmpty());
    EXPECT_EQ(host.ends, 0);
}

TEST_F(StartUpdateTest, AScriptThatDoesNotStartKeepsTheProgramRunning) {
    program.write(updaterFileName(), "kept");
    host.startWorks = false;
    EXPECT_FALSE(StartUpdate(server, paths, QString(), person, host));
    EXPECT_EQ(host.ends, 0);
    ASSERT_EQ(person.boxes.size(), 1u);
    EXPECT_TRUE(person.boxes[0].flags & Mb::IconError);
}

TEST_F(StartUpdateTest, TheLinksAskFirst) {
    program.write(updaterFileName(), "kept");
    person.replies = {Mb::ResultNo};
    EXPECT_FALSE(updateLinkClicked(server, paths, QString(), person, host));
    ASSERT_EQ(person.boxes.size(), 1u);
    EXPECT_EQ(person.boxes[0].title, QStringLiteral("Überprüfung auf neue Version und Update?"));
    EXPECT_EQ(person.boxes[0].flags, Mb::YesNo | Mb::IconInformation);
    EXPECT_TRUE(host.startedScripts.isEmpty());

    person.replies = {Mb::ResultYes};
    EXPECT_TRUE(updateLinkClicked(server, paths, QString(), person, host));
    EXPECT_EQ(host.ends, 1);

    person.boxes.clear();
    person.replies = {Mb::ResultNo, Mb::ResultYes};
    EXPECT_FALSE(homepageLinkClicked(server, person, host));
    EXPECT_TRUE(host.openedPages.isEmpty());
    EXPECT_TRUE(homepageLinkClicked(server, person, host));
    ASSERT_EQ(person.boxes.size(), 2u);
    EXPECT_EQ(person.boxes[1].title, QStringLiteral("Webseite öffnen?"));
    EXPECT_EQ(person.boxes[1].text, QStringLiteral("Webseite öffen?\r\r127.0.0.1/Kadrano"));
    EXPECT_EQ(host.openedPages, QList<QUrl>{QUrl(web.base().toString() + "/Kadrano/")});
}

// The script really starts the updater, which gets the pieces of its command line.
TEST_F(StartUpdateTest, TheUpdaterGetsItsCommandLine) {
    const QString record = program.file(QStringLiteral("updater-args.txt"));
    web.serve(QStringLiteral("/") + updaterFileName(),
              {200,
               ("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + ".tmp' && mv '" + record +
                ".tmp' '" + record + "'\n")
                   .toUtf8(),
               -1});
    DesktopUpdateHost desktop(test::batInterpreterPath());
    // The real host would end this test's program as well; stand in for that step only.
    struct NoEnd : UpdateHost {
        DesktopUpdateHost& real;
        int ends = 0;
        explicit NoEnd(DesktopUpdateHost& d) : real(d) {}
        bool startScriptMinimised(const QString& s) override {
            return real.startScriptMinimised(s);
        }
        void endProgram() override { ++ends; }
        bool openWebPage(const QUrl&) override { return false; }
    } noEnd(desktop);
    ASSERT_TRUE(StartUpdate(server, paths, QStringLiteral("/media/Urlaub 2019"), person, noEnd));
    EXPECT_EQ(noEnd.ends, 1);

    const QDeadlineTimer deadline(60000);
    while (!QFileInfo::exists(record) && !deadline.hasExpired())
        QThread::msleep(50);
    EXPECT_EQ(QString::fromUtf8(program.read(QStringLiteral("updater-args.txt"))).split(u'\n'),
              (QStringList{"[URL]" + server.newProgramAddress(), "[PARAM1]", "/media/Urlaub",
                           "2019", "[PATH]" + paths.programPath, ""}));
}

}  // namespace
}  // namespace kadrano
