#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dates/exiftestfiles.h"
#include "form1fixture.h"

using namespace kadrano;
using namespace kadrano::test;

namespace {

const QDateTime kTaken(QDate(2015, 3, 4), QTime(8, 30));

// Puts a file's access and write times back to a given moment; the birth time the system
// keeps is later, so the moment is the earliest of the file's stamps.
void backdate(const QString& path, const QDateTime& when) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite)) << path.toStdString();
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileAccessTime));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

QDateTime written(const QString& path) {
    return QFileInfo(path).lastModified();
}

// The window on a folder "2016 Urlaub" with one picture lacking a date in its name and
// one that begins with one; both were taken long ago.
class DatesWindow : public Form1Test {
protected:
    QString folder;
    void SetUp() override {
        ASSERT_FALSE(batInterpreterPath().isEmpty()) << "kadrano-bat is built with the tests";
        for (const QString& n : {q("P1000123.jpg"), q("2019-07-21 Strand.jpg")})
            backdate(pictures.write(q("2016 Urlaub/") + n), kTaken);
        folder = pictures.path() + q("2016 Urlaub/");
        start(folder);
    }
    QStringList names() const { return pictures.names(q("2016 Urlaub")); }
    QString at(const QString& name) const { return folder + name; }
    void type(const char* name, const QString& text) { control<QLineEdit>(name)->setText(text); }
};

}  // namespace

TEST_F(DatesWindow, DateIntoNamesAsksWithTheDatesFoundAndKeepsTheScriptOnNo) {
    control<QComboBox>("DateFormatCOmbo")->setEditText(q("YYYY.MM.DD"));
    type("TrennzDatetxt", q("_"));
    dialogs.replies = {Mb::ResultNo};
    click("AddDateToNameBtn");

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    const ShownBox& box = dialogs.boxes[0];
    EXPECT_TRUE(
        box.text.startsWith(q("Es wurden 1 Dateien zwischen:\r2015.03.04  und  2015.03.04 "
                              "gefunden\r\rjetzt umbenennen?")))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(folder + q("_Datei_AddDatum.bat")));
    EXPECT_TRUE(box.title.isEmpty());
    EXPECT_EQ(dialogs.editorFiles, QStringList({folder + q("_Datei_AddDatum.bat")}));
    EXPECT_FALSE(control<QPushButton>("Command26")->isHidden());
    EXPECT_EQ(names(), QStringList({q("2019-07-21 Strand.jpg"), q("P1000123.jpg"),
                                    q("_Datei_AddDatum.bat")}));

    // The kept script runs from its button later.
    control<QCheckBox>("KeineNachfragen")->setChecked(true);
    click("Command26");
    EXPECT_EQ(names(), QStringList({q("2015.03.04_P1000123.jpg"), q("2019-07-21 Strand.jpg")}));
    EXPECT_TRUE(control<QPushButton>("Command26")->isHidden());
}

TEST_F(DatesWindow, DateIntoNamesRenamesOnYesWithTheChosenFormat) {
    control<QComboBox>("DateFormatCOmbo")->setEditText(q("DD-MM-YY"));
    dialogs.replies = {Mb::ResultYes, Mb::ResultYes};  // rename, then delete the script
    click("AddDateToNameBtn");
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].title, q("Fertig - Script-Datei löschen?"));
    EXPECT_TRUE(dialogs.boxes[0].text.contains(q("04-03-15  und  04-03-15 gefunden")));
    EXPECT_EQ(names(), QStringList({q("04-03-15-P1000123.jpg"), q("2019-07-21 Strand.jpg")}));
    EXPECT_TRUE(control<QPushButton>("Command26")->isHidden());
}

TEST_F(DatesWindow, RestoreOfDateNamesSaysItCannotAndTouchesNothing) {
    click("Command28");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, q("Noch nicht implementiert"));
    EXPECT_EQ(names(), QStringList({q("2019-07-21 Strand.jpg"), q("P1000123.jpg")}));
}

TEST_F(DatesWindow, SetDatesTakesTheNameDateThenTheFixedDateWhenTicked) {
    control<QCheckBox>("DatumDateinameNutzen")->setChecked(true);
    click("SetDateBtn");
    const QDateTime noon(QDate(2019, 7, 21), QTime(12, 0));
    EXPECT_EQ(written(at(q("2019-07-21 Strand.jpg"))), noon);
    EXPECT_EQ(written(at(q("P1000123.jpg"))), kTaken);  // no date anywhere: left alone
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, q("Beendet"));
    EXPECT_TRUE(dialogs.boxes[0].text.contains(q("bei 1 von 2 Dateien")))
        << dialogs.boxes[0].text.toStdString();

    // The folder name begins with a year only: it takes the fixed date's month and day.
    click("FixDatumWennKeinsGefundenCheck");
    type("DatumSetzenTxt", q("05.06.2018"));
    control<QCheckBox>("DatumAusVerzNamen")->setChecked(true);
    click("SetDateBtn");
    EXPECT_EQ(written(at(q("P1000123.jpg"))), QDateTime(QDate(2016, 6, 5), QTime(12, 0)));
    EXPECT_EQ(written(at(q("2019-07-21 Strand.jpg"))), noon);

    // Without the folder's date the fixed date itself is used.
    click("DatumAusVerzNamen");
    click("SetDateBtn");
    EXPECT_EQ(written(at(q("P1000123.jpg"))), QDateTime(QDate(2018, 6, 5), QTime(12, 0)));
    EXPECT_EQ(written(at(q("2019-07-21 Strand.jpg"))), noon);
    EXPECT_TRUE(dialogs.boxes.back().text.contains(q("bei 2 von 2 Dateien")));
}

TEST_F(DatesWindow, TheFixedDateAndItsWarningFollowTheCheckBox) {
    auto* fixed = control<QLineEdit>("DatumSetzenTxt");
    auto* warning = control<QLabel>("Warnung2");
    EXPECT_FALSE(fixed->isEnabled());
    EXPECT_TRUE(warning->isHidden());
    click("FixDatumWennKeinsGefundenCheck");
    EXPECT_TRUE(fixed->isEnabled());
    EXPECT_FALSE(warning->isHidden());
    click("FixDatumWennKeinsGefundenCheck");
    EXPECT_FALSE(fixed->isEnabled());
    EXPECT_TRUE(warning->isHidden());
    // An unticked fixed date is not used, however it reads.
    click("SetDateBtn");
    EXPECT_EQ(written(at(q("P1000123.jpg"))), kTaken);
}

TEST_F(DatesWindow, DateShuffleGivesEveryFileTheSameDayAtSomeTime) {
    pictures.write(q("2016 Urlaub/IMG_0001.jpg"));
    type("DateFieldTxt", q("24.12.2020"));
    click("Mix_FileDate_Btn");
    const QStringList files = names();
    ASSERT_EQ(files.size(), 3);
    for (const QString& n : files) {
        const QFileInfo info(at(n));
        EXPECT_EQ(info.lastModified().date(), QDate(2020, 12, 24)) << n.toStdString();
    }
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, q("Beendet"));
    EXPECT_TRUE(dialogs.boxes[0].text.contains(q("bei 3/3 Dateien")))
        << dialogs.boxes[0].text.toStdString();
    EXPECT_EQ(files,
              QStringList({q("2019-07-21 Strand.jpg"), q("IMG_0001.jpg"), q("P1000123.jpg")}));
}

namespace {

// A folder of pictures copied on 1 March 2024 by a tool that kept no times: two know when
// they were taken (one with its offset from UTC), a messenger picture does not.
class DatesTakenWindow : public Form1Test {
protected:
    const QDateTime copied{QDate(2024, 3, 1), QTime(10, 0)};
    QString folder;
    void SetUp() override {
        ASSERT_FALSE(batInterpreterPath().isEmpty()) << "kadrano-bat is built with the tests";
        folder = pictures.path() + q("Import/");
        const std::pair<const char*, QByteArray> files[] = {
            {"IMG_0001.jpg", jpegWithExif(takenAt("2019:07:21 14:30:05"))},
            {"IMG_0002.jpg", jpegWithExif(takenAt("2019:08:01 09:15:00", "+02:00"))},
            {"WhatsApp Bild.jpg", plainJpeg()},
        };
        for (const auto& [name, bytes] : files)
            backdate(pictures.write(q("Import/") + q(name), bytes), copied);
        start(folder);
        click("DatumHeader");
    }
    QStringList names() const { return pictures.names(q("Import")); }
    QDateTime writtenAt(const char* name) const { return written(folder + q(name)); }
};

}  // namespace

// Taken in 2019, copied in 2024: the window gives 2019 names and 2019 file dates (to the
// second), the picture without a block keeps to the stamps and the other sources; with
// the box unticked the dates in the names count again.
TEST_F(DatesTakenWindow, PicturesTakenIn2019AndCopiedIn2024Get2019NamesAndDates) {
    auto* box = control<QCheckBox>("AufnahmedatumExifCheck");
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), q("Aufnahmedatum (EXIF) verwenden"));

    dialogs.replies = {Mb::ResultYes, Mb::ResultYes};  // rename, then delete the script
    click("AddDateToNameBtn");
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(
        q("Es wurden 3 Dateien zwischen:\r2019.07.21  und  2024.03.01 gefunden\r"
          "2 davon mit dem Aufnahmedatum (EXIF)\r\rjetzt umbenennen?")))
        << dialogs.boxes[0].text.toStdString();
    EXPECT_EQ(names(), QStringList({q("2019.07.21-IMG_0001.jpg"), q("2019.08.01-IMG_0002.jpg"),
                                    q("2024.03.01-WhatsApp Bild.jpg")}));

    dialogs.boxes.clear();
    click("SetDateBtn");
    EXPECT_EQ(writtenAt("2019.07.21-IMG_0001.jpg"),
              QDateTime(QDate(2019, 7, 21), QTime(14, 30, 5)));
    EXPECT_EQ(writtenAt("2019.08.01-IMG_0002.jpg"),
              QDateTime(QDate(2019, 8, 1), QTime(7, 15), Qt::UTC));
    EXPECT_EQ(writtenAt("2024.03.01-WhatsApp Bild.jpg"), copied);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text,
              q("Vorgang abgeschlossen\rDas Datum wurde bei 2 von 3 Dateien gesetzt!\r"
                "2 davon mit dem Aufnahmedatum (EXIF), auf die Sekunde genau."));

    click("AufnahmedatumExifCheck");
    click("DatumDateinameNutzen");
    click("SetDateBtn");
    EXPECT_EQ(writtenAt("2019.07.21-IMG_0001.jpg"), QDateTime(QDate(2019, 7, 21), QTime(12, 0)));
    EXPECT_EQ(writtenAt("2024.03.01-WhatsApp Bild.jpg"),
              QDateTime(QDate(2024, 3, 1), QTime(12, 0)));
    EXPECT_EQ(dialogs.boxes.back().text,
              q("Vorgang abgeschlossen\rDas Datum wurde bei 3 von 3 Dateien gesetzt!"));
}

// The box keeps its state in the settings file and has an English caption.
TEST_F(Form1Test, TheDateTakenBoxIsStoredAndSpeaksEnglish) {
    program.write(q("kadrano.ini"),
                  QByteArray("[Settings]\r\nLanguage=EN\r\nAufnahmedatum_Exif_Check=0\r\n"));
    start(pictures.path());
    auto* box = control<QCheckBox>("AufnahmedatumExifCheck");
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(box->text(), q("Use date taken (EXIF)"));
    EXPECT_TRUE(box->toolTip().startsWith(q("The date the picture was taken")));
    click("AufnahmedatumExifCheck");
    click("SaveIniBtn");
    EXPECT_TRUE(program.read(q("kadrano.ini")).contains("\r\nAufnahmedatum_Exif_Check=1\r\n"));
}
