#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include "batrun.h"
#include "core/scripttext.h"

// File names that upset the command interpreter. Each test checks the folder afterwards:
// what was renamed, deleted or created, and that nothing else was touched.

using namespace kadrano;
using kadrano::test::runLines;
using kadrano::test::TempFolder;

namespace {

// 250 bytes: with the "0434#" of a rename the new name has the most a name may have, 255.
const QString kLong = QString(246, u'x') + QStringLiteral(".jpg");

QStringList hostileNames() {
    return {QStringLiteral("Tom&Jerry.jpg"), QStringLiteral("a(1).jpg"),
            QStringLiteral("50%.jpg"),       QStringLiteral("Foto%20Urlaub.jpg"),
            QStringLiteral("c;d.jpg"),       QStringLiteral("s^t.jpg"),
            QStringLiteral("Müll.jpg"),      QStringLiteral("-rf.jpg"),
            QStringLiteral("a\\b.jpg"),      QStringLiteral("x,y=z!.jpg"),
            QStringLiteral("*.jpg"),         QStringLiteral("?.jpg"),
            QStringLiteral("a|b<c>d.jpg"),   QStringLiteral(" Urlaub 2019 .jpg"),
            QStringLiteral("%Zeit%.jpg"),    kLong};
}

// The names an unquoted or half-quoted line would hit instead, each with its own content.
const QStringList kDecoys = {
    QStringLiteral("Tom"),   QStringLiteral("50.jpg"), QStringLiteral("Foto0Urlaub.jpg"),
    QStringLiteral("c"),     QStringLiteral("d.jpg"),  QStringLiteral("st.jpg"),
    QStringLiteral("a.jpg"), QStringLiteral("bb.jpg")};

void writeAll(TempFolder& f, const QStringList& names, const QString& prefix = QString()) {
    for (const QString& n : names)
        f.write(prefix + n, (prefix + n).toUtf8());
}

void expectUntouched(const TempFolder& f, const QStringList& names) {
    for (const QString& n : names)
        EXPECT_EQ(f.read(n), n.toUtf8()) << n.toStdString();
}

}  // namespace

// The lines as the generator writes them: scriptArg quotes these names and doubles their
// "%", which is also what makes them right on Windows. Every ren, del, md and program line
// hits exactly its own file.
TEST(HostileNames, GeneratedLinesHitExactlyTheirFile) {
    TempFolder f;
    const QStringList names = hostileNames();
    writeAll(f, names);
    writeAll(f, names, QStringLiteral("del-"));
    writeAll(f, kDecoys);
    ScriptBuilder script;
    for (int i = 0; i < names.size(); ++i) {
        const QString& n = names[i];
        ASSERT_TRUE(canStandInScript(n));
        script.addProgress(i, int(names.size()));
        script.add(QStringLiteral("ren ") + scriptArg(f.file(n)) + u' ' +
                   scriptArg(QStringLiteral("0434#") + n));
        script.add(QStringLiteral("del ") + scriptArg(f.file(QStringLiteral("del-") + n)));
        script.add(QStringLiteral("md ") + scriptArg(f.file(QStringLiteral("md-") + n)));
        script.add(QStringLiteral(" touch ") + scriptArg(f.file(QStringLiteral("t-") + n)));
    }
    script.finish(true);
    const test::BatResult r = runLines(f, script.lines(), {QStringLiteral("14:05")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, QString());

    QStringList expected = kDecoys;
    expected.append(QStringLiteral("t.bat"));
    for (const QString& n : names) {
        EXPECT_EQ(f.read(QStringLiteral("0434#") + n), n.toUtf8()) << n.toStdString();
        EXPECT_TRUE(QFileInfo(f.file(QStringLiteral("md-") + n)).isDir()) << n.toStdString();
        expected << QStringLiteral("0434#") + n << QStringLiteral("t-") + n;
    }
    expected.sort();
    EXPECT_EQ(f.names(), expected);
    expectUntouched(f, kDecoys);
}

// On Windows "ren D\Tom&Jerry.jpg x.jpg" runs "ren D\Tom" and then "Jerry.jpg" as a command
// (found in the current folder first), and "del D\Tom&Jerry.jpg" deletes "Tom". Here both
// lines are refused whole: nothing is renamed or deleted, and no program starts, not even
// the "Jerry.jpg" lying in the script's folder.
TEST(HostileNames, UnquotedAmpersandRunsNothing) {
    TempFolder f;
    writeAll(f, {QStringLiteral("Tom&Jerry.jpg"), QStringLiteral("Tom")});
    const QString program = f.write(QStringLiteral("Jerry.jpg"), "#!/bin/sh\ntouch ran\n");
    ::chmod(QFile::encodeName(program).constData(), 0755);
    const test::BatResult r =
        runLines(f, {QStringLiteral("ren ") + f.file(QStringLiteral("Tom&Jerry.jpg")) + " x.jpg",
                     QStringLiteral("del ") + f.file(QStringLiteral("Tom&Jerry.jpg")),
                     QStringLiteral("Jerry.jpg")});
    EXPECT_EQ(r.exitCode, 3);  // every line refused
    EXPECT_TRUE(r.err.contains(QStringLiteral("line 1: \"&\" outside double quotes")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("line 2: \"&\" outside double quotes")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("'Jerry.jpg' is not recognized")));
    EXPECT_EQ(f.names(), (QStringList{QStringLiteral("Jerry.jpg"), QStringLiteral("Tom"),
                                      QStringLiteral("Tom&Jerry.jpg"), QStringLiteral("t.bat")}));
    expectUntouched(f, {QStringLiteral("Tom&Jerry.jpg"), QStringLiteral("Tom")});
}

// Percent signs are expanded before quotes count, here as on Windows: "50%.jpg" loses its
// lone "%" and means "50.jpg", quoted or not; "%2" in "Foto%20Urlaub.jpg" is the second
// argument (none here), so the line means "Foto0Urlaub.jpg". Only the doubled "%%" that
// scriptArg writes names the real file. The interpreter does what the Windows one does, so a
// script behaves the same on both.
TEST(HostileNames, PercentSignsAreExpandedAsOnWindows) {
    TempFolder f;
    writeAll(f, {QStringLiteral("50%.jpg"), QStringLiteral("50.jpg"),
                 QStringLiteral("Foto%20Urlaub.jpg"), QStringLiteral("Foto0Urlaub.jpg"),
                 QStringLiteral("60%.jpg")});
    const test::BatResult r = runLines(
        f,
        {QStringLiteral("ren ") + f.file(QStringLiteral("50%.jpg")) + " a.jpg",
         QStringLiteral("ren \"") + f.file(QStringLiteral("Foto%20Urlaub.jpg")) + "\" b.jpg",
         QStringLiteral("ren \"") + f.file(QStringLiteral("60%.jpg")) + "\" c.jpg",
         QStringLiteral("ren \"") + f.file(QStringLiteral("50%%.jpg")) + "\" d.jpg",
         QStringLiteral("ren ") + scriptArg(f.file(QStringLiteral("Foto%20Urlaub.jpg"))) +
             " e.jpg"},
        {QStringLiteral("14:05")});
    EXPECT_EQ(f.read(QStringLiteral("a.jpg")), QByteArray("50.jpg"));
    EXPECT_EQ(f.read(QStringLiteral("b.jpg")), QByteArray("Foto0Urlaub.jpg"));
    EXPECT_EQ(f.read(QStringLiteral("d.jpg")), QByteArray("50%.jpg"));
    EXPECT_EQ(f.read(QStringLiteral("e.jpg")), QByteArray("Foto%20Urlaub.jpg"));
    // "60.jpg" does not exist: the line fails and 60%.jpg stays.
    expectUntouched(f, {QStringLiteral("60%.jpg")});
    EXPECT_FALSE(f.exists(QStringLiteral("c.jpg")));
    EXPECT_EQ(r.exitCode, 1);
}

// "," ";" "=" separate arguments outside quotes. On Windows "ren D\c;d.jpg x.jpg" has three
// arguments and fails, as here; "del D\c;d.jpg" deletes "D\c" and "d.jpg" of the current
// folder, where we refuse a del with more than one name; "md D\e,f" makes both folders, as
// here (making folders harms nothing). Quoted, each line hits the one name.
TEST(HostileNames, SeparatorsSplitArguments) {
    TempFolder f;
    writeAll(f, {QStringLiteral("c;d.jpg"), QStringLiteral("c"), QStringLiteral("d.jpg"),
                 QStringLiteral("g=h.jpg")});
    const test::BatResult r = runLines(
        f, {QStringLiteral("ren ") + f.file(QStringLiteral("c;d.jpg")) + " x.jpg",
            QStringLiteral("del ") + f.file(QStringLiteral("c;d.jpg")),
            QStringLiteral("ren ") + f.file(QStringLiteral("g=h.jpg")) + " y.jpg",
            QStringLiteral("md ") + f.file(QStringLiteral("e,f")),
            QStringLiteral("ren ") + scriptArg(f.file(QStringLiteral("g=h.jpg"))) + " z.jpg",
            QStringLiteral("del ") + scriptArg(f.file(QStringLiteral("c;d.jpg")))});
    EXPECT_EQ(r.exitCode, 3);  // the three unquoted ren/del lines
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("More than one name after del; nothing was deleted.")));
    EXPECT_EQ(f.names(), (QStringList{QStringLiteral("c"), QStringLiteral("d.jpg"),
                                      QStringLiteral("t.bat"), QStringLiteral("z.jpg")}));
    expectUntouched(f, {QStringLiteral("c"), QStringLiteral("d.jpg")});
    EXPECT_TRUE(f.exists(QStringLiteral("e")));
    EXPECT_TRUE(f.exists(QStringLiteral("f")));
}

// "^" escapes the next character outside quotes: on Windows and here "ren D\s^t.jpg x.jpg"
// renames "st.jpg". A parenthesis is harmless at the top of a line on both, but inside an
// "if" block the first ")" closes the block: Windows then trips over the rest of the line;
// here the whole line is refused. Quoted, both work.
TEST(HostileNames, CaretsAndParentheses) {
    TempFolder f;
    writeAll(f, {QStringLiteral("s^t.jpg"), QStringLiteral("st.jpg"), QStringLiteral("a(1).jpg"),
                 QStringLiteral("b(2).jpg")});
    const test::BatResult r = runLines(
        f, {QStringLiteral("ren ") + f.file(QStringLiteral("s^t.jpg")) + " x.jpg",
            QStringLiteral("ren ") + f.file(QStringLiteral("a(1).jpg")) + " y.jpg",
            QStringLiteral("if 1==1 (ren ") + f.file(QStringLiteral("b(2).jpg")) + " z.jpg)",
            QStringLiteral("ren ") + scriptArg(f.file(QStringLiteral("s^t.jpg"))) + " v.jpg",
            QStringLiteral("if 1==1 (ren ") + scriptArg(f.file(QStringLiteral("b(2).jpg"))) +
                " w.jpg)"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("line 3: this form of \"if\" is not supported")));
    EXPECT_EQ(f.read(QStringLiteral("x.jpg")), QByteArray("st.jpg"));
    EXPECT_EQ(f.read(QStringLiteral("y.jpg")), QByteArray("a(1).jpg"));
    EXPECT_EQ(f.read(QStringLiteral("v.jpg")), QByteArray("s^t.jpg"));
    EXPECT_EQ(f.read(QStringLiteral("w.jpg")), QByteArray("b(2).jpg"));
    EXPECT_FALSE(f.exists(QStringLiteral("z.jpg")));
}

// On Windows "*" and "?" are wildcards ("del D\?.jpg" deletes every one-letter picture) and
// cannot be part of a name; "\" separates folders; a leading "-" means nothing to ren and
// del there. Here all of them are ordinary characters of a name and names are always
// literal. A new name longer than 255 bytes is refused by the file system, nothing moves.
TEST(HostileNames, WildcardsBackslashDashAndLongNames) {
    TempFolder f;
    const QString tooLong = QStringLiteral("0434#x") + kLong;  // 256 bytes
    writeAll(f, {QStringLiteral("*.jpg"), QStringLiteral("?.jpg"), QStringLiteral("a.jpg"),
                 QStringLiteral("bb.jpg"), QStringLiteral("a\\b.jpg"), QStringLiteral("-rf.jpg"),
                 kLong});
    const test::BatResult r =
        runLines(f, {QStringLiteral("ren ") + f.file(QStringLiteral("*.jpg")) + " star.jpg",
                     QStringLiteral("del ") + f.file(QStringLiteral("?.jpg")),
                     QStringLiteral("ren ") + f.file(QStringLiteral("a\\b.jpg")) + " c\\d.jpg",
                     QStringLiteral("ren ") + f.file(QStringLiteral("-rf.jpg")) + " -n.jpg",
                     QStringLiteral("del ") + f.file(QStringLiteral("-n.jpg")),
                     QStringLiteral("ren ") + f.file(kLong) + u' ' + tooLong,
                     QStringLiteral("ren ") + f.file(kLong) + QStringLiteral(" 0434#") + kLong});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral(
                         "The filename, directory name, or volume label syntax is incorrect.\n"));
    EXPECT_EQ(f.names(), (QStringList{QStringLiteral("0434#") + kLong, QStringLiteral("a.jpg"),
                                      QStringLiteral("bb.jpg"), QStringLiteral("c\\d.jpg"),
                                      QStringLiteral("star.jpg"), QStringLiteral("t.bat")}));
    EXPECT_EQ(f.read(QStringLiteral("star.jpg")), QByteArray("*.jpg"));
    EXPECT_EQ(f.read(QStringLiteral("c\\d.jpg")), QByteArray("a\\b.jpg"));
    expectUntouched(f, {QStringLiteral("a.jpg"), QStringLiteral("bb.jpg")});
}
