// Which lines of a script form the blocks that may run side by side, and when two blocks'
// files meet.

#include "batch/blocks.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>

#include "batch/expansion.h"
#include "core/scripttext.h"
#include "support/testfiles.h"

using namespace kadrano;
using namespace kadrano::batch;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

// The line as the interpreter reads it: expanded, then parsed.
Command parsedLine(const QString& line) {
    LineParser parser;
    return parser.parse(expandPercents(line, Parameters{}, Variables{}));
}

LineRole roleOfLine(const char* line) {
    return roleOf(parsedLine(q(line)), q(line));
}

BlockFiles filesOf(BlockFileNamer& namer, const QStringList& lines) {
    BlockFiles files;
    for (const QString& l : lines)
        namer.add(parsedLine(l), files);
    return files;
}

}  // namespace

// The tools' lines for a picture form its block; every other kind of line, and an
// ImageMagick line whose files its text does not name, stands alone.
TEST(BlockRoles, ToolLinesFormBlocksAndEverythingElseStandsAlone) {
    EXPECT_EQ(roleOf(parsedLine(progressLine(0, 3)), progressLine(0, 3)), LineRole::Progress);
    EXPECT_EQ(roleOfLine("@echo #####  12  Start: %Zeit% #####"), LineRole::Progress);
    for (const char* member : {
             " convert /f/a.jpg -resize \"2000x2000>\" -quality 95 /f/a.jpg",
             "/opt/im/magick convert /f/a.jpg -format PNG -quality 95 /f/a.png",
             "magick mogrify -auto-orient /f/a.jpg ",
             "if errorlevel 1 if exist /f/a.jpg if exist /f/a.png del /f/a.png",
             "if not errorlevel 1 if exist /f/a.png del /f/a.jpg",
             "echo done",
             "rem a note",
         })
        EXPECT_EQ(roleOfLine(member), LineRole::Member) << member;
    for (const char* barrier : {
             "if not exist /f/Text-Included md /f/Text-Included",
             "del /f/a.jpg",
             "ren /f/a.jpg b.jpg",
             "set X=1",
             "pause",
             "chcp 1252",
             "@echo off",
             "if \"%1\"==\"\" (set Zeit=%time%) else (set Zeit=%1%2%3)",
             "convert -list font > /f/fonts.txt",
             "mogrify -format png /f/a.jpg",
             "mogrify -path /g -resize 50% /f/a.jpg",
             "convert /f/*.jpg /f/all.gif",
             "magick identify /f/a.jpg",
             "exiftool -all= /f/a.jpg",
             "if %errorlevel%==1 del /f/a.png",
             "if errorlevel 1 ren /f/a.jpg b.jpg",
             "convert a.jpg b.jpg & del a.jpg",
         })
        EXPECT_EQ(roleOfLine(barrier), LineRole::Barrier) << barrier;
    EXPECT_EQ(roleOfLine(":label"), LineRole::Nothing);
}

// Blocks of different pictures are apart, even with the same options and font; a block
// meets another that writes a file it names, under whatever name it reaches that file.
TEST(BlockFiles, MeetOnlyWhereOneWritesWhatTheOtherNames) {
    TempFolder f;
    f.write(q("a.jpg"));
    f.write(q("b.jpg"));
    f.write(q("c.jpg"));
    f.mkdir(q("real"));
    f.mkdir(q("Sicherung"));
    ASSERT_EQ(::link(QFile::encodeName(f.file(q("a.jpg"))).constData(),
                     QFile::encodeName(f.file(q("Sicherung/a.jpg"))).constData()),
              0);
    ASSERT_TRUE(QFile::link(f.file(q("real")), f.file(q("link"))));
    const QString d = f.path();
    BlockFileNamer namer(d.chopped(1));
    const auto block = [&](QStringList lines) {
        for (QString& l : lines)
            l.replace(q("D/"), d);
        return filesOf(namer, lines);
    };
    const QString caption =
        q(" -fill rgb(255,250,250) -pointsize 60 -font D/font.ttf "
          "-annotate +0+5 \"Urlaub 50%%\" ");
    const BlockFiles resizeA =
        block({q("convert D/a.jpg -resize \"2000x2000>\" -quality 95 D/a.jpg")});
    const BlockFiles resizeB =
        block({q("convert D/b.jpg -resize \"2000x2000>\" -quality 95 D/b.jpg")});
    const BlockFiles captionA = block({q("convert D/a.jpg") + caption + q("D/T/a.jpg")});
    const BlockFiles captionB = block({q("convert D/b.jpg") + caption + q("D/T/b.jpg")});
    EXPECT_FALSE(resizeA.meets(resizeB));
    EXPECT_FALSE(captionA.meets(captionB));  // both read the font
    EXPECT_TRUE(resizeA.meets(captionA));    // one rewrites what the other reads

    // A conversion that deletes its original, and lines that name its files otherwise.
    const BlockFiles convertC =
        block({q("convert D/c.jpg -format PNG -quality 95 D/c.png"),
               q("if errorlevel 1 if exist D/c.jpg if exist D/c.png del D/c.png"),
               q("if not errorlevel 1 if exist D/c.png del D/c.jpg")});
    EXPECT_TRUE(convertC.meets(block({q("convert PNG:D/c.png D/d.jpg")})));
    EXPECT_TRUE(convertC.meets(block({q("convert c.jpg[0] D/e.png")})));  // relative
    EXPECT_TRUE(convertC.meets(block({q("convert D/C.JPG D/f.png")})));   // case
    EXPECT_FALSE(convertC.meets(resizeA));

    // The same file under another name: a hard link, a folder reached through a link.
    EXPECT_TRUE(resizeA.meets(block({q("convert D/Sicherung/a.jpg D/g.png")})));
    EXPECT_TRUE(block({q("convert D/b.jpg D/link/x.png")})
                    .meets(block({q("convert D/c.jpg D/real/x.png")})));

    // Files written besides the output, and every picture of a mogrify line.
    EXPECT_TRUE(block({q("convert D/b.jpg -write D/h.png D/i.jpg")})
                    .meets(block({q("convert D/h.png D/j.jpg")})));
    EXPECT_TRUE(block({q("mogrify -resize 50%% D/a.jpg D/b.jpg")}).meets(resizeA));
    EXPECT_FALSE(block({q("mogrify -resize 50%% D/b.jpg")}).meets(resizeA));
}
