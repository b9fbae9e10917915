#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QRegularExpression>

#include "batrun.h"
#include "core/scripttext.h"

using namespace kadrano;
using kadrano::test::runBat;
using kadrano::test::runLines;
using kadrano::test::TempFolder;

namespace {

QString arg(const TempFolder& f, const QString& name) {
    return scriptArg(f.file(name));
}

}  // namespace

// A rename script as the tools write it: header, then a progress line and a ren per file.
TEST(Interpreter, RunsAToolScript) {
    TempFolder f;
    const QStringList names = {QStringLiteral("File1.jpg"), QStringLiteral("a b.jpg"),
                               QStringLiteral("c.jpg"), QStringLiteral("d.jpg")};
    ScriptBuilder script;
    for (int i = 0; i < names.size(); ++i) {
        f.write(names[i], names[i].toUtf8());
        script.addProgress(i, int(names.size()));
        script.add(QStringLiteral("ren ") + arg(f, names[i]) + u' ' +
                   scriptArg(QStringLiteral("0434#") + names[i]));
    }
    script.add(QStringLiteral("md ") + arg(f, QStringLiteral("Text-Included/sub")));
    script.finish(true);

    test::BatResult r = runBat(QString(), {});  // no script at all
    EXPECT_EQ(r.exitCode, 1);
    r = runLines(f, script.lines(), {QStringLiteral("14:05")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(f.names(), (QStringList{QStringLiteral("0434#File1.jpg"),
                                      QStringLiteral("0434#a b.jpg"), QStringLiteral("0434#c.jpg"),
                                      QStringLiteral("0434#d.jpg"), QStringLiteral("t.bat")}));
    EXPECT_EQ(f.read(QStringLiteral("0434#a b.jpg")), QByteArray("a b.jpg"));
    EXPECT_TRUE(f.exists(QStringLiteral("Text-Included/sub")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Active code page: 1252\n")));
    EXPECT_TRUE(r.out.contains(
        QStringLiteral("\n#####  25% - Verb.: 4    (Nr: 2 / 4)  Start: 14:05 Uhr  #####\n")));
    // Commands without "@" are shown after the folder prompt, the progress lines are not.
    const QString folder = f.path().chopped(1);
    EXPECT_TRUE(r.out.contains(u'\n' + folder + QStringLiteral(">ren ") + arg(f, names[1])));
    EXPECT_FALSE(r.out.contains(QStringLiteral(">@Echo")));
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("Press any key to continue . . . \n")));

    // Started without a time, the script shows the clock of its start.
    f.write(QStringLiteral("c.jpg"));
    r = runLines(
        f, {scriptHeader()[0], scriptHeader()[1], QStringLiteral("@echo off"), progressLine(0, 1),
            QStringLiteral("ren ") + arg(f, QStringLiteral("c.jpg")) + " e.jpg"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(Start: [ 12]\d:\d\d:\d\d[,.]\d\d Uhr)"))
                    .match(r.out)
                    .hasMatch())
        << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral(">ren")));  // echo off
    EXPECT_TRUE(f.exists(QStringLiteral("e.jpg")));
}

// Every failing line is reported and the script goes on; the exit status tells.
TEST(Interpreter, FailingLinesDoNotStopTheScript) {
    TempFolder f;
    f.write(QStringLiteral("a.jpg"), "A");
    f.write(QStringLiteral("b.jpg"), "B");
    f.mkdir(QStringLiteral("Text-Included"));
    const QString ro = f.write(QStringLiteral("ro.jpg"));
    ::chmod(QFile::encodeName(ro).constData(), 0444);
    const test::BatResult r =
        runLines(f, {QStringLiteral("ren ") + arg(f, QStringLiteral("a.jpg")) + " b.jpg",
                     QStringLiteral("ren ") + arg(f, QStringLiteral("a.jpg")) + " sub/c.jpg",
                     QStringLiteral("ren ") + arg(f, QStringLiteral("missing.jpg")) + " c.jpg",
                     QStringLiteral("ren ") + arg(f, QStringLiteral("a.jpg")),
                     QStringLiteral("del ") + arg(f, QStringLiteral("missing.jpg")),
                     QStringLiteral("del ") + arg(f, QStringLiteral("ro.jpg")),
                     QStringLiteral("del ") + arg(f, QStringLiteral("Text-Included")),
                     QStringLiteral("md ") + arg(f, QStringLiteral("Text-Included")),
                     QStringLiteral("kadrano-no-such-program x"),
                     QStringLiteral("md ") + arg(f, QStringLiteral("x")) + " & md " +
                         arg(f, QStringLiteral("y")),
                     QStringLiteral("copy ") + arg(f, QStringLiteral("a.jpg")) + u' ' +
                         arg(f, QStringLiteral("z.jpg")),
                     QStringLiteral("/bin/false"), QStringLiteral("chcp x"),
                     QStringLiteral("md ") + arg(f, QStringLiteral("last"))});
    EXPECT_EQ(r.exitCode, 13);  // one for every line that failed
    const QStringList errors = r.err.split(u'\n', Qt::SkipEmptyParts);
    const QStringList expected = {
        QStringLiteral("A duplicate file name exists, or the file cannot be found."),
        QStringLiteral("The syntax of the command is incorrect."),
        QStringLiteral("The system cannot find the file specified."),
        QStringLiteral("The syntax of the command is incorrect."),
        QStringLiteral("Could Not Find ") + f.file(QStringLiteral("missing.jpg")),
        QStringLiteral("Access is denied."),
        f.file(QStringLiteral("Text-Included")) +
            QStringLiteral(" is a folder; del removes single files only, nothing was deleted."),
        QStringLiteral("A subdirectory or file ") + f.file(QStringLiteral("Text-Included")) +
            QStringLiteral(" already exists."),
        QStringLiteral(
            "'kadrano-no-such-program' is not recognized as an internal or external command,"),
        QStringLiteral("operable program or batch file."),
        QStringLiteral("kadrano-bat: line 10: \"&\" outside double quotes is not supported; the "
                       "line is skipped."),
        QStringLiteral(
            "kadrano-bat: line 11: the command \"copy\" is not supported; the line is skipped."),
        QStringLiteral("Invalid code page")};
    EXPECT_EQ(errors, expected);
    EXPECT_EQ(f.names(), (QStringList{QStringLiteral("a.jpg"), QStringLiteral("b.jpg"),
                                      QStringLiteral("ro.jpg"), QStringLiteral("t.bat")}));
    EXPECT_EQ(f.read(QStringLiteral("b.jpg")), QByteArray("B"));
    EXPECT_FALSE(f.exists(QStringLiteral("x")));  // nothing of the refused line ran
    EXPECT_FALSE(f.exists(QStringLiteral("y")));
    EXPECT_TRUE(f.exists(QStringLiteral("last")));
}

TEST(Interpreter, ProgramLines) {
    TempFolder f;
    const test::BatResult r = runLines(
        f, {QStringLiteral("\"/usr/bin/touch\" ") + arg(f, QStringLiteral("a b.txt")) + u' ' +
                arg(f, QStringLiteral("50%.txt")) + u' ' + arg(f, QStringLiteral("x,y.txt")),
            QStringLiteral(" ls ") + scriptArg(f.path()) + QStringLiteral(" > ") +
                arg(f, QStringLiteral("list 1.txt")),
            QStringLiteral("echo eins > zwei"),
            QStringLiteral("/bin/echo drei>>") + arg(f, QStringLiteral("list 1.txt")),
            QStringLiteral("set KADRANO_PROBE=vier"),
            QStringLiteral("/bin/sh -c \"printf %%s $KADRANO_PROBE > probe.txt\""),
            QStringLiteral("ls > ") + arg(f, QStringLiteral("no-such-folder/x.txt"))});
    EXPECT_EQ(r.exitCode, 2);  // the echo redirection and the missing folder
    EXPECT_TRUE(f.exists(QStringLiteral("a b.txt")));
    EXPECT_TRUE(f.exists(QStringLiteral("50%.txt")));
    EXPECT_TRUE(f.exists(QStringLiteral("x,y.txt")));
    EXPECT_FALSE(f.exists(QStringLiteral("zwei")));
    // The program's output went to the file, after the list of the folder.
    const QString list = QString::fromUtf8(f.read(QStringLiteral("list 1.txt")));
    EXPECT_TRUE(list.contains(QStringLiteral("a b.txt\n")));
    EXPECT_TRUE(list.endsWith(QStringLiteral("\ndrei\n")));
    EXPECT_FALSE(r.out.contains(QStringLiteral("a b.txt\n")));
    EXPECT_EQ(f.read(QStringLiteral("probe.txt")),
              QByteArray("vier"));  // run in the script's folder
    EXPECT_TRUE(r.err.contains(QStringLiteral("The system cannot find the path specified.")));
}

// "pause" takes exactly one byte of input, so type-ahead is left for what follows.
// "if errorlevel N" holds from exit code N up; internal commands that fail set 1 and
// those that succeed leave the level alone, as in the command interpreter.
TEST(Interpreter, ErrorLevelAndExist) {
    TempFolder f;
    f.write(QStringLiteral("a b.jpg"));
    f.mkdir(QStringLiteral("sub"));
    const QString ab = arg(f, QStringLiteral("a b.jpg"));
    const test::BatResult r = runLines(
        f, {QStringLiteral("@echo off"),
            QStringLiteral("/bin/sh -c \"exit 3\""),
            QStringLiteral("if errorlevel 3 echo L3"),
            QStringLiteral("if errorlevel 4 echo L4"),
            QStringLiteral("if not errorlevel 4 echo N4"),
            QStringLiteral("echo between"),
            QStringLiteral("if errorlevel 3 echo still3"),
            QStringLiteral("/bin/true"),
            QStringLiteral("if errorlevel 1 (echo bad) else (echo zero)"),
            QStringLiteral("kadrano-no-such-program"),
            QStringLiteral("if errorlevel 9009 echo E9009"),
            QStringLiteral("/bin/true"),
            QStringLiteral("del ") + arg(f, QStringLiteral("missing.jpg")),
            QStringLiteral("if errorlevel 1 if not errorlevel 2 echo del-failed"),
            QStringLiteral("/bin/true"),
            QStringLiteral("if not errorlevel 1 kadrano-no-such-program"),
            QStringLiteral("if errorlevel 9009 echo inner9009"),
            QStringLiteral("if exist ") + ab + QStringLiteral(" echo has-ab"),
            QStringLiteral("if exist ") + arg(f, QStringLiteral("sub")) +
                QStringLiteral(" echo has-sub"),
            QStringLiteral("if not exist ") + arg(f, QStringLiteral("missing.jpg")) +
                QStringLiteral(" echo no-missing"),
            QStringLiteral("if exist \"\" echo empty"),
            QStringLiteral("if exist ") + arg(f, QStringLiteral("missing.jpg")) +
                QStringLiteral(" echo missing"),
            QStringLiteral("/bin/true"),
            QStringLiteral("if not errorlevel 1 if exist ") + ab + QStringLiteral(" del ") + ab});
    EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();  // exit 3, two unknown programs, the del
    EXPECT_EQ(r.out.split(u'\n', Qt::SkipEmptyParts),
              (QStringList{"L3", "N4", "between", "still3", "zero", "E9009", "del-failed",
                           "inner9009", "has-ab", "has-sub", "no-missing"}));
    EXPECT_FALSE(f.exists(QStringLiteral("a b.jpg")));
}

TEST(Interpreter, PauseReadsOneKey) {
    TempFolder f;
    test::BatResult r = runLines(f,
                                 {QStringLiteral("@echo off"), QStringLiteral("pause"),
                                  QStringLiteral("/bin/sh -c \"cat > rest.txt\""),
                                  QStringLiteral("pause"), QStringLiteral("echo done")},
                                 {}, QByteArray("ab"));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(f.read(QStringLiteral("rest.txt")), QByteArray("b"));
    EXPECT_EQ(r.out,
              QStringLiteral(
                  "Press any key to continue . . . \nPress any key to continue . . . \ndone\n"));
}

// A script written on Windows (Windows-1252) runs as well as one written here (UTF-8).
TEST(Interpreter, ReadsUtf8AndWindows1252) {
    TempFolder f;
    f.write(QStringLiteral("Müll.jpg"), "1");
    f.write(QStringLiteral("Ärger.jpg"), "2");
    const QString script =
        f.write(QStringLiteral("w.bat"), QByteArray("chcp 1252\r\nren ") + f.path().toUtf8() +
                                             "M\xfcll.jpg \"M\xfcll 2.jpg\"\r\n");
    test::BatResult r = runBat(script);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString utf8 =
        f.write(QStringLiteral("u.bat"), QByteArray("\xef\xbb\xbfren ") + f.path().toUtf8() +
                                             "\xc3\x84rger.jpg \"\xc3\x84rger 2.jpg\"\n");
    r = runBat(utf8);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(f.read(QStringLiteral("Müll 2.jpg")), QByteArray("1"));
    EXPECT_EQ(f.read(QStringLiteral("Ärger 2.jpg")), QByteArray("2"));
}

// A rename that was stopped after the new name was linked and before the old one was
// removed: running the script again completes it without an error.
TEST(Interpreter, RenameOfAFileAlreadyUnderBothNamesCompletes) {
    TempFolder f;
    f.write(QStringLiteral("a.jpg"), "A");
    ASSERT_EQ(::link(QFile::encodeName(f.file(QStringLiteral("a.jpg"))).constData(),
                     QFile::encodeName(f.file(QStringLiteral("b.jpg"))).constData()),
              0);
    const test::BatResult r = runLines(
        f, {QStringLiteral("ren ") + arg(f, QStringLiteral("a.jpg")) + QStringLiteral(" b.jpg")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(f.names(), (QStringList{QStringLiteral("b.jpg"), QStringLiteral("t.bat")}));
    EXPECT_EQ(f.read(QStringLiteral("b.jpg")), QByteArray("A"));
}
