#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "../batch/batrun.h"
#include "core/scripttext.h"
#include "imagemagick/magickpath.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

// A program that writes its arguments, one per line, beside itself.
QString standIn(TempFolder& f, const QString& relative) {
    const QString path = f.write(relative, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    return path;
}

}  // namespace

// Start-up in a program folder with a blank: the first sub-folder (by name) holding a
// program "magick" is taken, and every script line calls it quoted.
TEST(MagickDiscovery, FindsMagickInASubFolderOfTheProgramFolder) {
    TempFolder f;
    const QString programDir = f.file(q("Kadrano Programm/"));
    f.write(q("Kadrano Programm/Aaa/magick"), "not executable");
    f.mkdir(q("Kadrano Programm/Empty"));
    const QString magick = standIn(f, q("Kadrano Programm/ImageMagick-7.1/magick"));
    standIn(f, q("Kadrano Programm/Zzz/magick"));
    TempFolder onPath;
    standIn(onPath, q("magick"));

    MagickDiscovery d = DiscoverMagick(QString(), programDir, {onPath.path()});
    ASSERT_TRUE(d.found);
    EXPECT_FALSE(d.separatePrograms);
    EXPECT_EQ(d.pathText, magick);
    EXPECT_EQ(d.paths.MagickCommand, u'"' + magick + u'"');
    EXPECT_EQ(d.paths.MagickDir, programDir + q("ImageMagick-7.1/"));
    EXPECT_EQ(d.paths.FontListPath, programDir + q("ImageMagick-7.1/FontList.txt"));
    EXPECT_EQ(d.paths.FontScriptPath, programDir + q("ImageMagic_GetFonts.bat"));
    EXPECT_EQ(d.paths.FontExportPath, programDir + q("ImageMagic_FontExport.txt"));

    // The quoted command really reaches the program through the interpreter, which lets it
    // write to a new hidden file beside x.jpg. The stand-in writes nothing there, which
    // counts as a failure and leaves no x.jpg behind.
    const test::BatResult r =
        test::RunLines(f, {d.paths.MagickCommand + q(" convert ") +
                           ScriptArg(f.file(q("a b.png"))) + q(" -resize \"2000x2000>\" x.jpg")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(q("ImageMagick wrote nothing. x.jpg was not written.")))
        << r.err.toStdString();
    EXPECT_FALSE(f.exists(q("x.jpg")));
    const QStringList args =
        QString::fromUtf8(f.read(q("Kadrano Programm/ImageMagick-7.1/magick.args"))).split(u'\n');
    ASSERT_EQ(args.size(), 16);
    EXPECT_EQ(args.mid(0, 7), QStringList({q("convert"), q("-regard-warnings"), q("-define"),
                                           q("filename:literal=true"), f.file(q("a b.png")),
                                           q("-resize"), q("2000x2000>")}));
    EXPECT_TRUE(
        QRegularExpression(q("^\\.kadrano-[0-9]+-[0-9]+\\.jpg$")).match(args.at(8)).hasMatch())
        << args.at(8).toStdString();
    // Written there, then read back whole in the same run.
    EXPECT_EQ(args.mid(7, 8),
              QStringList({q("-write"), args.at(8), q("-delete"), q("0--1"), q("-define"),
                           q("jpeg:size=64x64"), args.at(8), q("null:")}));

    // A stored path wins, also one relative to the program folder; one that names nothing
    // falls back to the search.
    const QString other = standIn(f, q("elsewhere/magick"));
    EXPECT_EQ(DiscoverMagick(other, programDir, {}).pathText, other);
    EXPECT_EQ(DiscoverMagick(q("Zzz/magick"), programDir, {}).pathText,
              programDir + q("Zzz/magick"));
    EXPECT_EQ(DiscoverMagick(f.file(q("gone/magick")), programDir, {}).pathText, magick);
}

// Without a copy beside the program: "magick" on the search path, else ImageMagick 6's
// two programs, where every line starts with the bare sub-command.
TEST(MagickDiscovery, SearchPathAndImageMagick6) {
    TempFolder program, first, second, six;
    standIn(first, q("convert"));  // a convert alone is not ImageMagick 6
    const QString magick = standIn(second, q("magick"));
    MagickDiscovery d = DiscoverMagick(QString(), program.path(), {first.path(), second.path()});
    EXPECT_TRUE(d.found);
    EXPECT_EQ(d.pathText, magick);
    EXPECT_EQ(d.paths.MagickCommand, magick);

    d = DiscoverMagick(QString(), program.path(), {first.path()});
    EXPECT_FALSE(d.found);
    EXPECT_EQ(d.pathText, q(kMagickPathHint));
    EXPECT_EQ(d.paths.MagickCommand, QString());
    EXPECT_EQ(d.paths.FontScriptPath, QString());

    const QString convert = standIn(six, q("convert"));
    standIn(six, q("mogrify"));
    d = DiscoverMagick(q("Pfad zu ImageMagic hier eintragen (magick.exe)"), program.path(),
                       {first.path(), six.path()});
    ASSERT_TRUE(d.found);
    EXPECT_TRUE(d.separatePrograms);
    EXPECT_EQ(d.pathText, first.file(q("convert")));  // the convert the scripts will run
    EXPECT_EQ(d.paths.MagickCommand, QString());
    EXPECT_EQ(d.paths.MagickDir, first.path());

    // The found convert, stored and read at the next start, is ImageMagick 6 again.
    d = DiscoverMagick(convert, program.path(), {});
    EXPECT_TRUE(d.found && d.separatePrograms);
    EXPECT_EQ(d.paths.MagickCommand, QString());
}

// Leaving the box after typing a path relative to the program folder makes it whole; the
// next check finds it. A folder is no program.
TEST(MagickPathBox, CheckAndColour) {
    TempFolder f;
    const QString programDir = f.path();
    const QString magick = standIn(f, q("ImageMagick-7.1/magick"));
    const ScreenColour green = MagickPathColour(q("ImageMagick-7.1/magick"), programDir);
    EXPECT_EQ((std::array{green.red, green.green, green.blue}), (std::array{0, 128, 0}));
    const ScreenColour red = MagickPathColour(q("ImageMagick-7.1"), programDir);
    EXPECT_EQ((std::array{red.red, red.green, red.blue}), (std::array{128, 0, 0}));

    MagickPathCheck c = CheckMagickPath(q("ImageMagick-7.1/magick"), programDir);
    EXPECT_EQ(c.state, MagickPathState::MadeWhole);
    EXPECT_EQ(c.text, magick);
    c = CheckMagickPath(c.text, programDir);
    EXPECT_EQ(c.state, MagickPathState::Found);
    EXPECT_EQ(c.text, magick);
    for (const QString& t :
         {f.file(q("ImageMagick-7.1")), q("ImageMagick-7.1/"), QString(), q(kMagickPathHint)}) {
        c = CheckMagickPath(t, programDir);
        EXPECT_EQ(c.state, MagickPathState::Missing) << t.toStdString();
        EXPECT_EQ(c.text, t);
    }
}
