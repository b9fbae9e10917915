#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStandardPaths>

#include "core/scripttext.h"
#include "imagemagick/addtext.h"
#include "imagemagick/colours.h"
#include "magicktestfiles.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::BatchRunner;
using kadrano::test::FakeHost;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

AddTextOptions options() {
    AddTextOptions o;
    o.colour = ColourTable().row(1).magickColour;
    o.fontFile = q("/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf");
    o.pointSize = q("60");
    o.caption.keepName = true;  // the caption is the name without its extension
    return o;
}

}  // namespace

TEST(Caption, EscapedForImageMagickAndThenForTheScript) {
    EXPECT_EQ(escapeForMagickText(q("50% Rabatt")), q("50%% Rabatt"));
    EXPECT_EQ(escapeForMagickText(q("a\\nb %w")), q("a\\\\nb %%w"));
    EXPECT_EQ(escapeForMagickText(q("@liste.txt")), q("\\@liste.txt"));
    EXPECT_EQ(escapeForMagickText(q("an @ inside")), q("an @ inside"));

    EXPECT_EQ(captionArgument(q("\"50% Rabatt  \"")), q("\"50%%%% Rabatt  \""));
    EXPECT_EQ(captionArgument(q("\"@home & away  \"")), q("\"\\@home & away  \""));
    // a quote typed into the free text cannot end the argument; the preview drops it too
    EXPECT_EQ(captionArgument(q("\"Er sagte \"Hallo\"  \"")), q("\"Er sagte Hallo  \""));
    EXPECT_EQ(captionArgument(q("\"Zeile\r\nzwei  \"")), q("\"Zeilezwei  \""));

    // Only a caption with nothing but blanks takes the file name, and only when asked.
    EXPECT_EQ(captionOrFileName(q("\"  \""), q("IMG1234.jpg"), true), q("\"IMG1234  \""));
    EXPECT_EQ(captionOrFileName(q("\"  \""), q("a.b.JPG"), true), q("\"a.b  \""));
    EXPECT_EQ(captionOrFileName(q("\"  \""), q("IMG1234.jpg"), false), q("\"  \""));
    EXPECT_EQ(captionOrFileName(q("\"x  \""), q("IMG1234.jpg"), true), q("\"x  \""));
}

// Two folders (sub-folders ticked) give two folder lines, both in front of the pictures'
// lines, so those may run side by side; paths with blanks are quoted, colour and font file
// are not.
TEST(AddTextPlan, TwoFoldersWithBlanks) {
    const QString top = q("/home/anna/Fotos 2019/");
    const QString sub = top + q("Rom/");
    FileList files;
    files.append(q("23_2019_Urlaub_Rom.jpg"), top);
    files.append(q("b.jpg"), top);
    files.append(q("c d.jpg"), sub);
    AddTextOptions o = options();
    o.magickCommand = q("\"/opt/Image Magick/magick\"");
    o.pauseAtEnd = true;
    const AddTextPlan plan = planAddText(files, o);
    const QString head = o.magickCommand + q(" convert \"");
    const QString middle =
        q(" -fill rgb(255,250,250) -gravity Southeast -pointsize 60 -font "
          "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf -annotate +0+5 ");
    EXPECT_EQ(
        plan.lines,
        (scriptHeader() +
         QStringList{
             q("if not exist \"") + top + q("Text-Included\" md \"") + top + q("Text-Included\""),
             q("if not exist \"") + sub + q("Text-Included\" md \"") + sub + q("Text-Included\""),
             progressLine(0, 3),
             head + top + q("23_2019_Urlaub_Rom.jpg\"") + middle +
                 q("\"23_2019_Urlaub_Rom  \" \"") + top +
                 q("Text-Included/23_2019_Urlaub_Rom.jpg\""),
             progressLine(1, 3),
             head + top + q("b.jpg\"") + middle + q("\"b  \" \"") + top +
                 q("Text-Included/b.jpg\""),
             progressLine(2, 3),
             head + sub + q("c d.jpg\"") + middle + q("\"c d  \" \"") + sub +
                 q("Text-Included/c d.jpg\""),
             q("pause")}));
    EXPECT_EQ(plan.commands, 3);
    EXPECT_EQ(plan.folders, 2);
    ASSERT_EQ(plan.rewrites.size(), 3u);
    EXPECT_EQ(plan.rewrites[2].input, sub + q("c d.jpg"));
    EXPECT_EQ(plan.rewrites[2].output, sub + q("Text-Included/c d.jpg"));
}

// A colour name not in the table leaves "-fill" without a colour (ImageMagick says so in
// the console); without a font file ImageMagick keeps its own font. ImageMagick 6 lines
// start with the bare sub-command.
TEST(AddTextPlan, UnknownColourNoFontFileAndImageMagick6) {
    FileList files;
    files.append(q("a.jpg"), q("/f/"));
    AddTextOptions o = options();
    o.colour = lookUpTextColour(ColourTable(), q("Lila")).magickColour;
    o.fontFile.clear();
    o.pointSize = q("24");
    const AddTextPlan plan = planAddText(files, o);
    ASSERT_EQ(plan.lines.size(), 5);
    EXPECT_EQ(plan.lines[4],
              q(" convert /f/a.jpg -fill  -gravity Southeast -pointsize 24 -annotate +0+5 "
                "\"a  \" /f/Text-Included/a.jpg"));
}

// Names that could break out of their place stay inside their quotes; a name that cannot
// stand in a script at all gets no line, and a "%" means the same to ImageMagick and the
// interpreter as it does in the name.
TEST(AddTextPlan, HostileNamesAndPercentInCaptions) {
    const QString dir = q("/f/");
    FileList files;
    for (const char* n : {"a&b.jpg", "50% Rabatt.jpg", "-rf.jpg", "say \"x\".jpg", "(1).jpg"})
        files.append(q(n), dir);
    const AddTextPlan plan = planAddText(files, options());
    EXPECT_EQ(plan.unsafe, 1);
    EXPECT_EQ(plan.commands, 4);
    const QString middle =
        q(" -fill rgb(255,250,250) -gravity Southeast -pointsize 60 -font "
          "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf -annotate +0+5 ");
    const QStringList commands = plan.lines.filter(q(" convert "));
    EXPECT_EQ(
        commands,
        (QStringList{
            q(" convert \"/f/a&b.jpg\"") + middle + q("\"a&b  \" \"/f/Text-Included/a&b.jpg\""),
            q(" convert \"/f/50%% Rabatt.jpg\"") + middle +
                q("\"50%%%% Rabatt  \" \"/f/Text-Included/50%% Rabatt.jpg\""),
            q(" convert /f/-rf.jpg") + middle + q("\"-rf  \" /f/Text-Included/-rf.jpg"),
            q(" convert \"/f/(1).jpg\"") + middle + q("\"(1)  \" \"/f/Text-Included/(1).jpg\""),
        }));
}

// The status tells the position while the script is written, at 0, 1000, 2000 only.
TEST(AddTextPlan, StatusEveryThousandFiles) {
    FileList files;
    for (int i = 0; i < 2001; ++i)
        files.append(QString::number(i) + q(".jpg"), q("/f/"));
    QList<int> told;
    const AddTextPlan plan = planAddText(files, options(), [&told](int p) { told.append(p); });
    EXPECT_EQ(told, (QList<int>{0, 1000, 2000}));
    EXPECT_EQ(plan.folders, 1);
    EXPECT_EQ(plan.commands, 2001);
}

TEST(AddTextRun, NoFilesWritesNothing) {
    TempFolder folder;
    FakeHost host;
    host.dirText = folder.path();
    runAddText(host, options());
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Keine Dateien gefunden!"));
    EXPECT_EQ(host.recorder.boxes[0].text,
              q("Keine Dateien gefunden in:\r") + folder.path() + q("*.jpg"));
    EXPECT_TRUE(folder.names().isEmpty());
    EXPECT_EQ(host.settingsSaved, 1);
}

// No opens the script in the editor; the deletion is offered all the same, and a script
// left there is named.
TEST(AddTextRun, NoOpensTheScriptAndAKeptScriptIsNamed) {
    TempFolder folder;
    folder.write(q("a.jpg"));
    test::RecordingRunner runner;
    FakeHost host(&runner);
    host.dirText = folder.path();
    host.collectFiles();
    host.recorder.replies = {Mb::ResultNo, Mb::ResultNo};
    runAddText(host, options());
    const QString script = folder.file(q("_Add_Text_ToPictures.bat"));
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_EQ(host.recorder.editorFiles, QStringList{script});
    ASSERT_EQ(host.recorder.boxes.size(), 3u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Bat-Datei löschen?"));
    EXPECT_EQ(host.recorder.boxes[0].text, addTextQuestion(script));
    EXPECT_EQ(host.recorder.boxes[0].flags, int(Mb::YesNoQuestion));
    EXPECT_EQ(host.recorder.boxes[2].text, script + q(" konnte nicht gelöscht werden!"));
    EXPECT_EQ(host.recorder.boxes[2].flags, int(Mb::OK));
    EXPECT_TRUE(QFile::exists(script));
    EXPECT_EQ(host.recorder.statuses.first(), q("Erstelle Bat-Datei.."));
    EXPECT_EQ(host.recorder.statuses.last(), q("Fertig"));
    EXPECT_EQ(host.collections, 1);  // the tool works on the list it was given
}

// ---- With the real ImageMagick, through the interpreter -------------------------------

namespace {

// The largest difference of any colour channel between the two pictures inside the
// rectangle.
int largestDifference(const QImage& a, const QImage& b, const QRect& r) {
    int most = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = a.pixel(x, y), o = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(o)), std::abs(qGreen(p) - qGreen(o)),
                             std::abs(qBlue(p) - qBlue(o))});
        }
    return most;
}

}  // namespace

TEST(AddTextRun, RealImageMagickWritesCaptionedCopiesWithTheOriginalsDate) {
    if (QStandardPaths::findExecutable(q("convert")).isEmpty())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    TempFolder folder;
    BatchRunner runner;
    FakeHost host(&runner);
    host.dirText = folder.file(q("Fotos 2019/"));
    folder.mkdir(q("Fotos 2019/Rom"));
    const QString a = host.dirText + q("23_2019_Urlaub_Rom.jpg");
    const QString b = host.dirText + q("Rom/50% Rabatt.jpg");
    test::writePicture(a, 800, 600);
    test::writePicture(b, 640, 480);
    test::setModified(a, 1262347200, 0);
    test::setModified(b, 1262347300, 0);
    const QByteArray originalA = folder.read(q("Fotos 2019/23_2019_Urlaub_Rom.jpg"));
    host.withSubdirs = true;
    host.collectFiles();
    ASSERT_EQ(host.files.count(), 2);
    host.recorder.replies = {Mb::ResultYes, Mb::ResultYes};  // run, then delete the script

    AddTextOptions o = options();
    o.colour = lookUpTextColour(ColourTable(), q("Schwarz")).magickColour;
    o.pointSize = q("40");
    runAddText(host, o);

    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_FALSE(QFile::exists(host.dirText + q("_Add_Text_ToPictures.bat")));
    EXPECT_EQ(folder.read(q("Fotos 2019/23_2019_Urlaub_Rom.jpg")), originalA);
    const QString copyA = host.dirText + q("Text-Included/23_2019_Urlaub_Rom.jpg");
    const QString copyB = host.dirText + q("Rom/Text-Included/50% Rabatt.jpg");
    ASSERT_TRUE(QFile::exists(copyA)) << runner.lastOutput.toStdString();
    ASSERT_TRUE(QFile::exists(copyB)) << runner.lastOutput.toStdString();
    EXPECT_TRUE(test::modifiedAt(copyA, 1262347200, 0));
    EXPECT_TRUE(test::modifiedAt(copyB, 1262347300, 0));
    EXPECT_TRUE(test::modifiedAt(a, 1262347200, 0));

    const QImage original(a), copy(copyA);
    ASSERT_EQ(copy.size(), original.size());
    // black text in the lower right corner, nothing near the top left
    EXPECT_GT(largestDifference(original, copy, QRect(500, 540, 300, 60)), 150);
    EXPECT_LT(largestDifference(original, copy, QRect(0, 0, 400, 300)), 40);
    EXPECT_EQ(host.recorder.statuses.last(), q("Fertig"));

    // A second run finds the folders there and replaces the copies without a failure.
    host.recorder.boxes.clear();
    host.recorder.replies = {Mb::ResultYes, Mb::ResultYes};
    runAddText(host, o);
    ASSERT_EQ(host.recorder.boxes.size(), 2u) << host.recorder.boxes.back().text.toStdString();
    EXPECT_FALSE(QFile::exists(host.dirText + q("_Add_Text_ToPictures.bat")));
}

// The line of the documented example, caption optimised from the name.
TEST(AddTextPlan, ExampleLineWithAnOptimisedCaption) {
    FileList files;
    files.append(q("23_2019_Urlaub_Rom.jpg"), q("C:\\Fotos\\"));
    AddTextOptions o = options();
    o.caption = CaptionOptions();
    o.magickCommand = q("C:\\IM\\magick.exe");
    o.fontFile = q("C:\\Windows\\Fonts\\arialbd.ttf");
    const AddTextPlan plan = planAddText(files, o);
    ASSERT_EQ(plan.lines.size(), 5);
    EXPECT_EQ(plan.lines[2],
              q("if not exist C:\\Fotos\\Text-Included md C:\\Fotos\\Text-Included"));
    EXPECT_EQ(plan.lines[4], q("C:\\IM\\magick.exe convert C:\\Fotos\\23_2019_Urlaub_Rom.jpg -fill "
                               "rgb(255,250,250) -gravity Southeast -pointsize 60 -font "
                               "C:\\Windows\\Fonts\\arialbd.ttf -annotate +0+5 \"Urlaub Rom  \" "
                               "C:\\Fotos\\Text-Included\\23_2019_Urlaub_Rom.jpg"));
}
