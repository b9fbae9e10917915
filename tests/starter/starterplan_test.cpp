#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include "starter/starterplan.h"
#include "support/testfiles.h"

namespace kadrano {
namespace {

using test::TempFolder;

// A stand-in for the main program: it waits until the test lets it go (so the test can
// see that the starter did not wait for it), then writes each argument it got on a line
// of its own into "args.txt" beside itself.
const QByteArray kRecorder =
    "#!/bin/sh\n"
    "here=$(dirname \"$0\")\n"
    "n=0\n"
    "while [ ! -e \"$here/go\" ] && [ $n -lt 300 ]; do sleep 0.1; n=$((n+1)); done\n"
    "printf '%s\\n' \"$#\" \"$@\" > \"$here/args.tmp\"\n"
    "mv \"$here/args.tmp\" \"$here/args.txt\"\n";

QString placeRecorder(TempFolder& card, const QString& relative) {
    const QString path = card.write(relative, kRecorder);
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
    return path;
}

TEST(StarterPictureFolder, CommandLineIsTakenAsGiven) {
    TempFolder card;
    card.write(QStringLiteral("a.jpg"));
    EXPECT_EQ(pictureFolderFor(card.path(), {QStringLiteral("/media/E/Urlaub")}),
              QStringLiteral("/media/E/Urlaub"));
    // Split by a shell at its blank, the folder is joined again as the main program would.
    EXPECT_EQ(
        pictureFolderFor(card.path(), {QStringLiteral("/media/E/Mein"), QStringLiteral("Urlaub")}),
        QStringLiteral("/media/E/Mein Urlaub"));
    // Blanks only name no folder.
    EXPECT_EQ(pictureFolderFor(card.path(), {QStringLiteral("  ")}), card.path());
}

TEST(StarterPictureFolder, OwnFolderOrTheNamedFoldersBelowIt) {
    {
        TempFolder card;  // pictures beside the starter win over every folder below
        card.write(QStringLiteral("IMG_1.JPG"));
        card.write(QStringLiteral("Fotos/b.jpg"));
        EXPECT_EQ(pictureFolderFor(card.path(), {}), card.path());
    }
    {
        TempFolder card;  // only Fotos holds files
        card.write(QStringLiteral("notes.txt"));
        card.write(QStringLiteral("Fotos/b.jpg"));
        EXPECT_EQ(pictureFolderFor(card.path(), {}), card.file(QStringLiteral("Fotos/")));
    }
    {
        TempFolder card;  // each step looks below the one before
        card.write(QStringLiteral("Fotos/DCIM/c.jpg"));
        EXPECT_EQ(pictureFolderFor(card.path(), {}), card.file(QStringLiteral("Fotos/DCIM/")));
    }
    {
        TempFolder card;  // a camera card: the pictures lie one folder deeper
        card.write(QStringLiteral("DCIM/100CANON/IMG_0001.JPG"));
        card.write(QStringLiteral("Pictures/x.jpg"));
        EXPECT_EQ(pictureFolderFor(card.path(), {}), card.file(QStringLiteral("DCIM/")));
    }
    {
        TempFolder card;  // spelt otherwise by the camera; empty named folders are passed by
        card.mkdir(QStringLiteral("Fotos"));
        card.write(QStringLiteral("Pictures/Urlaub 2019/d.png"));
        card.write(QStringLiteral("dcim/.thumbs/t.jpg"));
        EXPECT_EQ(pictureFolderFor(card.path(), {}), card.file(QStringLiteral("Pictures/")));
    }
    {
        TempFolder card;  // nothing anywhere: the starter's folder
        card.mkdir(QStringLiteral("Fotos"));
        EXPECT_EQ(pictureFolderFor(card.path(), {}), card.path());
    }
}

TEST(StarterMainProgram, FirstPlaceThatHoldsItWins) {
    TempFolder card;
    EXPECT_EQ(findMainProgram(card.path()), QString());

    // A file of that name that cannot run, and a folder of that name, are no program.
    card.write(QStringLiteral("Apps/kadrano"), "not a program");
    card.mkdir(QStringLiteral("kadrano"));
    EXPECT_EQ(findMainProgram(card.path()), QString());

    // Otherwise the first sub-folder that holds it, in the listing's order (without
    // regard to case).
    placeRecorder(card, QStringLiteral("Zeug/kadrano"));
    const QString inBin = placeRecorder(card, QStringLiteral("bin/kadrano"));
    EXPECT_EQ(findMainProgram(card.path()), inBin);

    // Beside the starter before any sub-folder. (Here a file and a folder cannot both be
    // called "kadrano", so the folder of that name and the file beside never meet.)
    TempFolder flat;
    placeRecorder(flat, QStringLiteral("Apps/kadrano"));
    const QString beside = placeRecorder(flat, QStringLiteral("kadrano"));
    EXPECT_EQ(findMainProgram(flat.path()), beside);

    // The folder named like it before the sub-folders that come first in the listing.
    TempFolder nested;
    placeRecorder(nested, QStringLiteral("Apps/kadrano"));
    const QString below = placeRecorder(nested, QStringLiteral("kadrano/kadrano"));
    EXPECT_EQ(findMainProgram(nested.path()), below);
}

TEST(StarterPlan, NothingToStartWithoutAMainProgram) {
    TempFolder card;
    card.write(QStringLiteral("a.jpg"));
    const StartPlan plan = planStart(card.path(), {});
    EXPECT_TRUE(plan.program.isEmpty());
    EXPECT_EQ(plan.arguments, QStringList{card.path()});
    EXPECT_FALSE(startDetached(plan));
}

// The real starter copied onto a card, run as a person would run it.
class StarterProgram : public ::testing::Test {
protected:
    QString placeStarter(TempFolder& card, const QString& relative) {
        const QString path = card.file(relative);
        QFile::copy(QStringLiteral(KADRANO_STARTER_PATH), path);
        return path;
    }

    // Runs the starter and checks that it ended before the main program went on; then lets
    // the main program go and returns the arguments it recorded.
    QStringList run(TempFolder& card, const QString& starter, const QStringList& arguments,
                    const QString& programFolder) {
        QProcess p;
        p.start(starter, arguments);
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
        const QString record = card.file(programFolder + QStringLiteral("args.txt"));
        EXPECT_FALSE(QFileInfo::exists(record));  // the main program still waits for "go"
        card.write(programFolder + QStringLiteral("go"));
        const QDeadlineTimer deadline(60000);
        while (!QFileInfo::exists(record) && !deadline.hasExpired())
            QThread::msleep(50);
        QStringList lines =
            QString::fromUtf8(card.read(programFolder + QStringLiteral("args.txt"))).split(u'\n');
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.removeLast();
        return lines;
    }
};

TEST_F(StarterProgram, StartsTheMainProgramOnTheCardsPictures) {
    TempFolder card;
    const QString starter = placeStarter(card, QStringLiteral("kadrano-starter"));
    placeRecorder(card, QStringLiteral("kadrano/kadrano"));
    placeRecorder(card, QStringLiteral("Apps/kadrano"));  // the one in "kadrano" wins
    card.write(QStringLiteral("Fotos/DCIM/IMG_0001.JPG"));
    EXPECT_EQ(run(card, starter, {}, QStringLiteral("kadrano/")),
              (QStringList{QStringLiteral("1"), card.file(QStringLiteral("Fotos/DCIM/"))}));
}

TEST_F(StarterProgram, AFolderWithBlanksArrivesWhole) {
    TempFolder card;
    const QString starter = placeStarter(card, QStringLiteral("kadrano-starter"));
    placeRecorder(card, QStringLiteral("Programm/kadrano"));
    const QString folder = card.file(QStringLiteral("Urlaub  am Meer & 'Berge'"));
    card.write(QStringLiteral("Urlaub  am Meer & 'Berge'/a.jpg"));
    EXPECT_EQ(run(card, starter, {folder}, QStringLiteral("Programm/")),
              (QStringList{QStringLiteral("1"), folder}));

    // Without a command line the card's own folder, which holds no picture of its own.
    QFile::remove(card.file(QStringLiteral("Programm/args.txt")));
    QFile::remove(card.file(QStringLiteral("Programm/go")));
    EXPECT_EQ(run(card, starter, {}, QStringLiteral("Programm/")),
              (QStringList{QStringLiteral("1"), card.path()}));
}

TEST_F(StarterProgram, EndsQuietlyWithoutAMainProgram) {
    TempFolder card;
    const QString starter = placeStarter(card, QStringLiteral("kadrano-starter"));
    QProcess p;
    p.start(starter, {});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(p.readAllStandardError().isEmpty());
}

}  // namespace
}  // namespace kadrano
