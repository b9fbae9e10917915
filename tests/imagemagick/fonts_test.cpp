#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/scripttext.h"
#include "imagemagick/fonts.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::BatchRunner;
using kadrano::test::FakeHost;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

// The lines of one font as a reduced list holds them.
QStringList font(const QString& name, const QString& family, const QString& file) {
    return {q("Font: ") + name, q("family: ") + family, q("glyphs: ") + file};
}

FontTable tableOf(const QStringList& lines) {
    FontTable t;
    t.load(lines);
    return t;
}

// ImageMagick names the faces "Arial-Bold-Italic", so that "-Italic" finds it.
QStringList arialRows() {
    return font(q("Arial"), q("Arial"), q("C:\\Windows\\Fonts\\arial.ttf")) +
           font(q("Arial-Bold"), q("Arial"), q("C:\\Windows\\Fonts\\arialbd.ttf")) +
           font(q("Arial-Bold-Italic"), q("Arial"), q("C:\\Windows\\Fonts\\arialbi.ttf")) +
           font(q("Arial-Italic"), q("Arial"), q("C:\\Windows\\Fonts\\ariali.ttf"));
}

}  // namespace

TEST(FontTable, FamiliesInFileOrderWithOnlyConsecutiveRepeatsDropped) {
    const FontTable t =
        tableOf(arialRows() + font(q("Courier"), q("Courier New"), q("cour.ttf")) +
                // the listing's own layout: indented, other keys between, key and value spaced
                QStringList{q("  Font: Arial-Narrow  "), q("    style: Normal"),
                            q("    glyphs:   C:\\Fonts\\arialn.ttf"), q("    family: Arial")} +
                QStringList{q("Path: C:\\Fonts\\type.xml"), q("style: Normal")});
    EXPECT_EQ(t.families(), (QStringList{q("Arial"), q("Courier New"), q("Arial")}));
    ASSERT_EQ(t.rows().size(), 6u);
    EXPECT_EQ(t.rows()[5].name, q("Arial-Narrow"));
    EXPECT_EQ(t.rows()[5].glyphs, q("C:\\Fonts\\arialn.ttf"));
    EXPECT_EQ(t.rows()[5].family, q("Arial"));
}

// A family or glyph line with no font before it, and a font beyond the last row, end the
// reading; what came before stays.
TEST(FontTable, ReadingEndsAtAStrayLineOrBeyondTheLastRow) {
    FontTable t = tableOf(QStringList{q("family: Stray")} + arialRows());
    EXPECT_TRUE(t.rows().empty());
    EXPECT_TRUE(t.families().isEmpty());
    t = tableOf(QStringList{q("Path: x"), q("glyphs: x.ttf")} + arialRows());
    EXPECT_TRUE(t.rows().empty());

    QStringList many;
    for (int i = 0; i < FontTable::kMaxRows + 1; ++i)
        many +=
            font(QString::number(i), q("F") + QString::number(i), QString::number(i) + q(".ttf"));
    t = tableOf(many);
    ASSERT_EQ(int(t.rows().size()), FontTable::kMaxRows);
    EXPECT_EQ(t.rows().back().glyphs, q("800.ttf"));
    EXPECT_EQ(t.families().size(), FontTable::kMaxRows);
    EXPECT_FALSE(t.hasFamily(q("F801")));
}

TEST(FontTable, PickFontFileWalksTheFamilyForBoldAndItalic) {
    const FontTable t =
        tableOf(font(q("Courier"), q("Courier New"), q("cour.ttf")) + arialRows() +
                font(q("Bahn"), q("Bahnschrift"), q("bahn.ttf")) +
                font(q("Bahn-Light"), q("Bahnschrift"), q("bahnl.ttf")) +
                // slanted faces ImageMagick lists as "Oblique"
                font(q("DejaVu-Sans"), q("DejaVu Sans"), q("DejaVuSans.ttf")) +
                font(q("DejaVu-Sans-Bold"), q("DejaVu Sans"), q("DejaVuSans-Bold.ttf")) +
                font(q("DejaVu-Sans-Bold-Oblique"), q("DejaVu Sans"), q("DejaVuSans-BO.ttf")) +
                font(q("DejaVu-Sans-Oblique"), q("DejaVu Sans"), q("DejaVuSans-O.ttf")));
    const QString arial = q("Arial");
    EXPECT_EQ(t.pickFontFile(arial, false, false), q("C:\\Windows\\Fonts\\arial.ttf"));
    EXPECT_EQ(t.pickFontFile(arial, true, false), q("C:\\Windows\\Fonts\\arialbd.ttf"));
    EXPECT_EQ(t.pickFontFile(arial, false, true), q("C:\\Windows\\Fonts\\arialbi.ttf"));
    EXPECT_EQ(t.pickFontFile(arial, true, true), q("C:\\Windows\\Fonts\\arialbi.ttf"));
    // no bold face: the family's last file
    EXPECT_EQ(t.pickFontFile(q("Bahnschrift"), true, false), q("bahnl.ttf"));
    EXPECT_EQ(t.pickFontFile(q("DejaVu Sans"), false, true), q("DejaVuSans-BO.ttf"));
    EXPECT_EQ(t.pickFontFile(q("DejaVu Sans"), true, true), q("DejaVuSans-BO.ttf"));
    EXPECT_EQ(t.pickFontFile(q("arial"), false, false), QString());  // exact names only
    EXPECT_EQ(t.pickFontFile(q("Times"), true, true), QString());
}

TEST(FontExport, ReducedToThreeKeysWithinTheLineBudget) {
    QStringList exportLines{q("Path: /etc/ImageMagick-6/type.xml"),
                            q("  Font: A-Regular"),
                            q("    family: A"),
                            q("    style: Normal"),
                            q("    weight: 400"),
                            q("    glyphs: /f/a.ttf\r")};
    while (exportLines.size() < kFontExportLineBudget - 1)
        exportLines.append(q("    stretch: Normal"));
    exportLines.append(q("  Font: Last-In"));  // line 9999
    exportLines.append(q("  Font: Cut-Off"));  // line 10000
    exportLines.append(q("    family: Cut"));
    EXPECT_EQ(reduceFontExport(exportLines),
              (QStringList{q("Font: A-Regular"), q("family: A"), q("glyphs: /f/a.ttf"),
                           q("Font: Last-In")}));
}

TEST(FontFamily, WantedElseDesktopMatchElseFirstNeverEmpty) {
    const QStringList families{q("DejaVu Sans"), q("Liberation Sans"), q("Nimbus Sans")};
    int asked = 0;
    const auto desktop = [&asked](const QString& family) {
        ++asked;
        return family == q("Arial") ? q("Liberation Sans") : q("Some Desktop Font");
    };
    EXPECT_EQ(chooseFontFamily(q("Nimbus Sans"), families, desktop), q("Nimbus Sans"));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(chooseFontFamily(q("Arial"), families, desktop), q("Liberation Sans"));
    EXPECT_EQ(chooseFontFamily(q("Comic Sans MS"), families, desktop), q("DejaVu Sans"));
    EXPECT_EQ(chooseFontFamily(QString(), families, desktop), q("DejaVu Sans"));
    EXPECT_EQ(chooseFontFamily(q("Arial"), {}, desktop), QString());
}

TEST(FontFiles, ScriptLinesAndWhereTheListLives) {
    EXPECT_EQ(
        fontScriptLines(q("\"C:\\Program Files\\IM\\magick.exe\""),
                        q("C:\\Kadrano 1\\ImageMagic_FontExport.txt")),
        (QStringList{q("chcp 1252"), q("\"C:\\Program Files\\IM\\magick.exe\" convert -list font > "
                                       "\"C:\\Kadrano 1\\ImageMagic_FontExport.txt\"")}));

    TempFolder f;
    const QString own = f.file(q("ImageMagick-7/"));
    f.mkdir(q("ImageMagick-7"));
    const QString program = f.path();
    EXPECT_EQ(fontListLocation(own, program, {}), own + q("FontList.txt"));
    // a shared program folder, however written, never gets the list
    EXPECT_EQ(fontListLocation(own, program, {f.file(q("ImageMagick-7"))}),
              program + q("FontList.txt"));
    EXPECT_EQ(fontListLocation(f.file(q("gone/")), program, {}), program + q("FontList.txt"));
    EXPECT_EQ(fontListLocation(QString(), program, {}), program + q("FontList.txt"));
}

// ---- The import, through the interpreter ----------------------------------------------

class FontImport : public ::testing::Test {
protected:
    void SetUp() override {
        paths.MagickDir = folder.file(q("im/"));
        folder.mkdir(q("im"));
        paths.FontListPath = paths.MagickDir + q("FontList.txt");
        paths.FontScriptPath = folder.file(q("ImageMagic_GetFonts.bat"));
        paths.FontExportPath = folder.file(q("ImageMagic_FontExport.txt"));
        host.recorder.setStatus(q("12 Dateien"));
    }
    // A stand-in for ImageMagick that writes the given listing, or fails.
    void standIn(const QByteArray& listing, int exitCode = 0) {
        const QString path = folder.write(q("im/magick"), "#!/bin/sh\ncat \"$0.out\"\nexit " +
                                                              QByteArray::number(exitCode) + "\n");
        folder.write(q("im/magick.out"), listing);
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        paths.MagickCommand = path;
    }

    TempFolder folder;
    BatchRunner runner;
    FakeHost host{&runner};
    MagickPaths paths;
};

TEST_F(FontImport, MissingListAsksAndNoLeavesTheListEmpty) {
    standIn("  Font: A\n    family: A\n    glyphs: /a.ttf\n");
    FontList fonts(host, paths);
    host.recorder.replies = {Mb::ResultNo};
    EXPECT_FALSE(fonts.LoadFontList());
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Schriften jetzt initialisieren?"));
    EXPECT_EQ(host.recorder.boxes[0].flags, int(Mb::YesNo));
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_TRUE(fonts.table().families().isEmpty());
    EXPECT_FALSE(QFile::exists(paths.FontListPath));
}

TEST_F(FontImport, YesRunsTheListingAndKeepsOnlyTheThreeKeys) {
    standIn(
        "Path: /etc/ImageMagick-6/type-dejavu.xml\n"
        "  Font: DejaVu-Sans\n    family: DejaVu Sans\n    style: Normal\n"
        "    glyphs: /usr/share/fonts/DejaVuSans.ttf\n"
        "  Font: DejaVu-Sans-Bold\n    family: DejaVu Sans\n"
        "    glyphs: /usr/share/fonts/DejaVuSans-Bold.ttf\n");
    FontList fonts(host, paths);
    fonts.settleMilliseconds = 0;
    host.recorder.replies = {Mb::ResultYes};
    ASSERT_TRUE(fonts.LoadFontList());
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(test::splitCrLf(folder.read(q("im/FontList.txt"))),
              (QStringList{q("Font: DejaVu-Sans"), q("family: DejaVu Sans"),
                           q("glyphs: /usr/share/fonts/DejaVuSans.ttf"),
                           q("Font: DejaVu-Sans-Bold"), q("family: DejaVu Sans"),
                           q("glyphs: /usr/share/fonts/DejaVuSans-Bold.ttf"), QString()}));
    EXPECT_EQ(fonts.table().families(), QStringList{q("DejaVu Sans")});
    EXPECT_EQ(fonts.table().pickFontFile(q("DejaVu Sans"), true, false),
              q("/usr/share/fonts/DejaVuSans-Bold.ttf"));
    // the script and the raw export are gone, the status is given back
    EXPECT_FALSE(QFile::exists(paths.FontScriptPath));
    EXPECT_FALSE(QFile::exists(paths.FontExportPath));
    EXPECT_EQ(host.recorder.statuses.mid(1),
              (QStringList{q("Schriften werden neu eingelesen..."),
                           q("Versuche .bat zu löschen.. (aufräumen)"), q("12 Dateien")}));

    // Later starts only read the list.
    FontList again(host, paths);
    const size_t boxes = host.recorder.boxes.size();
    EXPECT_TRUE(again.LoadFontList());
    EXPECT_EQ(again.table().rows().size(), 2u);
    EXPECT_EQ(host.recorder.boxes.size(), boxes);
    EXPECT_EQ(runner.calls.size(), 1u);
}

// ImageMagick failing leaves an empty export behind the redirection; the working list
// must survive that.
TEST_F(FontImport, AFailedListingKeepsTheOldList) {
    folder.write(q("im/FontList.txt"), "Font: Old\r\nfamily: Old\r\nglyphs: /old.ttf\r\n");
    standIn("convert: no fonts\n", 1);
    FontList fonts(host, paths);
    fonts.settleMilliseconds = 0;
    EXPECT_FALSE(fonts.ReimportFonts());
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text,
              q("Die Font-Export-Datei konnte nicht gefunden werden: \r") + paths.FontExportPath);
    EXPECT_EQ(host.recorder.boxes[0].flags, int(Mb::OK));
    EXPECT_EQ(folder.read(q("im/FontList.txt")),
              QByteArray("Font: Old\r\nfamily: Old\r\nglyphs: /old.ttf\r\n"));
    EXPECT_FALSE(QFile::exists(paths.FontScriptPath));
    EXPECT_FALSE(QFile::exists(paths.FontExportPath));
    EXPECT_EQ(host.recorder.statuses.last(), q("12 Dateien"));
}

// The real ImageMagick 6 of this machine, called by its bare sub-command.
TEST_F(FontImport, RealImageMagickListsTheInstalledFonts) {
    if (QStandardPaths::findExecutable(q("convert")).isEmpty())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    paths.MagickCommand.clear();
    FontList fonts(host, paths);
    fonts.settleMilliseconds = 0;
    ASSERT_TRUE(fonts.ReimportFonts());
    const FontTable& t = fonts.table();
    ASSERT_FALSE(t.families().isEmpty());
    for (const FontRow& row : t.rows()) {
        EXPECT_FALSE(row.name.isEmpty());
        EXPECT_FALSE(row.family.isEmpty()) << row.name.toStdString();
    }
    if (t.hasFamily(q("Liberation Sans"))) {
        const QString bold = t.pickFontFile(q("Liberation Sans"), true, false);
        EXPECT_TRUE(bold.endsWith(q("LiberationSans-Bold.ttf"))) << bold.toStdString();
        EXPECT_TRUE(QFileInfo(bold).isFile());
    }
}
