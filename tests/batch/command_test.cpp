#include <gtest/gtest.h>

#include "batch/command.h"

using namespace kadrano::batch;

namespace {

Command parse(const QString& line) {
    return LineParser().parse(line);
}

QStringList words(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* s : list)
        out.append(QString::fromUtf8(s));
    return out;
}

}  // namespace

TEST(CommandParsing, Echo) {
    Command c =
        parse(QStringLiteral("@Echo #####  25% - Verb.: 4    (Nr: 2 / 4)  Start: 14:05 Uhr  "));
    EXPECT_EQ(c.kind, CommandKind::Echo);
    EXPECT_TRUE(c.quiet);
    EXPECT_EQ(c.text, QStringLiteral("#####  25% - Verb.: 4    (Nr: 2 / 4)  Start: 14:05 Uhr  "));
    EXPECT_EQ(parse(QStringLiteral("echo")).echo, EchoMode::ShowState);
    EXPECT_EQ(parse(QStringLiteral("echo   ")).echo, EchoMode::ShowState);
    EXPECT_EQ(parse(QStringLiteral("@echo OFF")).echo, EchoMode::Off);
    EXPECT_EQ(parse(QStringLiteral("echo.")).text, QString());
    EXPECT_EQ(parse(QStringLiteral("echo.off")).echo, EchoMode::Print);
    EXPECT_EQ(parse(QStringLiteral("echo a^&b ^^ \"c&d ^x\"")).text,
              QStringLiteral("a&b ^ \"c&d ^x\""));
    c = parse(QStringLiteral("echo a&b"));
    EXPECT_EQ(c.kind, CommandKind::Refused);
    EXPECT_TRUE(c.text.contains(u'&'));
    EXPECT_EQ(parse(QStringLiteral("echo a > f")).kind, CommandKind::Refused);
}

TEST(CommandParsing, ArgumentsOfTheInternalCommands) {
    Command c = parse(QStringLiteral("ren \"/tmp/Fotos 2019/a b.jpg\" \"0434#a b.jpg\""));
    EXPECT_EQ(c.kind, CommandKind::Rename);
    EXPECT_FALSE(c.quiet);
    EXPECT_EQ(c.args, words({"/tmp/Fotos 2019/a b.jpg", "0434#a b.jpg"}));
    // Blanks, tabs, "," ";" "=" separate outside quotes; quotes anywhere only group.
    EXPECT_EQ(parse(QStringLiteral("REN /tmp/a,b.jpg\tx;y=z")).args,
              words({"/tmp/a", "b.jpg", "x", "y", "z"}));
    EXPECT_EQ(parse(QStringLiteral("del /tmp/\"a b\"c.jpg")).args, words({"/tmp/a bc.jpg"}));
    EXPECT_EQ(parse(QStringLiteral("md \"\"")).args, words({""}));
    EXPECT_EQ(parse(QStringLiteral("erase s^t.jpg")).args, words({"st.jpg"}));
    EXPECT_EQ(parse(QStringLiteral("mkdir a(1)")).args, words({"a(1)"}));
    EXPECT_EQ(parse(QStringLiteral("set Zeit=14:05:09,12 ")).text,
              QStringLiteral("Zeit=14:05:09,12 "));
    EXPECT_EQ(parse(QStringLiteral("set \"Zeit=a b\"  ")).text, QStringLiteral("Zeit=a b"));
    EXPECT_EQ(parse(QStringLiteral("chcp 1252")).args, words({"1252"}));
    EXPECT_EQ(parse(QStringLiteral("ren.exe a b")).kind, CommandKind::Program);
    EXPECT_EQ(parse(QStringLiteral("  rem a & b | c")).kind, CommandKind::Rem);
    EXPECT_EQ(parse(QStringLiteral(":: a & b")).kind, CommandKind::Nothing);
    EXPECT_EQ(parse(QStringLiteral("   ")).kind, CommandKind::Nothing);
    for (const char* other :
         {"copy a b", "move a b", "dir", "cd /tmp", "exit /b 1", "start x", "call x.bat"})
        EXPECT_EQ(parse(QString::fromUtf8(other)).kind, CommandKind::Refused) << other;
}

TEST(CommandParsing, IfWithBranches) {
    Command c = parse(QStringLiteral("if \"\"==\"\" (set Zeit=14:05:09,12) else (set Zeit=)"));
    ASSERT_EQ(c.kind, CommandKind::If);
    EXPECT_EQ(c.left, QStringLiteral("\"\""));
    EXPECT_EQ(c.right, QStringLiteral("\"\""));
    EXPECT_TRUE(c.conditionHolds());
    ASSERT_TRUE(c.then && c.otherwise);
    EXPECT_EQ(c.then->kind, CommandKind::Set);
    EXPECT_EQ(c.then->text, QStringLiteral("Zeit=14:05:09,12"));
    EXPECT_EQ(c.otherwise->text, QStringLiteral("Zeit="));

    c = parse(QStringLiteral("if \"14:05\"==\"\" (set Zeit=x) else (set Zeit=14:05)"));
    EXPECT_FALSE(c.conditionHolds());
    c = parse(QStringLiteral("if not a==A echo x else echo y"));
    EXPECT_TRUE(c.conditionHolds());
    EXPECT_EQ(c.then->text, QStringLiteral("x else echo y"));  // no block: else is just text
    EXPECT_FALSE(parse(QStringLiteral("if /I not a==A echo x")).conditionHolds());

    // Nothing of a line that is not understood runs, neither branch.
    for (const char* bad : {"if \"a\"=\"b\" echo x", "if a==b (echo x", "if a==b (echo x) echo y",
                            "if a==b (echo x) else (echo y) z", "if a==b (ren a b) else (del a&b)",
                            "if a==b (ren /d/a(1).jpg b.jpg)", "if a==b", "if ==b echo"}) {
        EXPECT_EQ(parse(QString::fromUtf8(bad)).kind, CommandKind::Refused) << bad;
    }
}

TEST(CommandParsing, IfErrorLevelAndExist) {
    Command c = parse(QStringLiteral("if not ERRORLEVEL 1 if exist \"/p q/b.jpg\" del /p/b.png"));
    ASSERT_EQ(c.kind, CommandKind::If);
    EXPECT_EQ(c.test, IfTest::ErrorLevel);
    EXPECT_EQ(c.level, 1);
    EXPECT_TRUE(c.negate);
    EXPECT_TRUE(c.conditionHolds(0));
    EXPECT_FALSE(c.conditionHolds(1));
    EXPECT_FALSE(c.conditionHolds(9009));
    ASSERT_TRUE(c.then);
    EXPECT_EQ(c.then->test, IfTest::Exist);
    EXPECT_EQ(c.then->path, QStringLiteral("/p q/b.jpg"));
    EXPECT_FALSE(c.then->negate);
    EXPECT_TRUE(c.then->conditionHolds(5, true));
    EXPECT_FALSE(c.then->conditionHolds(0, false));
    ASSERT_TRUE(c.then->then);
    EXPECT_EQ(c.then->then->kind, CommandKind::Delete);
    EXPECT_EQ(c.then->then->args, words({"/p/b.png"}));

    c = parse(QStringLiteral("if errorlevel 3 (echo a) else (echo b)"));
    EXPECT_FALSE(c.conditionHolds(2));
    EXPECT_TRUE(c.conditionHolds(3));
    EXPECT_TRUE(c.otherwise && c.otherwise->text == QStringLiteral("b"));
    c = parse(QStringLiteral("if not exist x\"y z\".jpg echo gone"));
    EXPECT_EQ(c.path, QStringLiteral("xy z.jpg"));
    EXPECT_TRUE(c.conditionHolds(0, false));
    // Followed by "==", the words are just the left side of a comparison.
    c = parse(QStringLiteral("if errorlevel==errorlevel echo same"));
    EXPECT_EQ(c.test, IfTest::Compare);
    EXPECT_TRUE(c.conditionHolds());
    EXPECT_EQ(parse(QStringLiteral("if exist == exist echo same")).test, IfTest::Compare);

    for (const char* bad :
         {"if errorlevel x echo a", "if errorlevel echo a", "if errorlevel 1", "if exist",
          "if exist a", "if /i exist a echo b", "if /i errorlevel 1 echo b", "if exist a (echo b",
          "if errorlevel 1 del a&b"}) {
        EXPECT_EQ(parse(QString::fromUtf8(bad)).kind, CommandKind::Refused) << bad;
    }
}

TEST(CommandParsing, ProgramLines) {
    Command c = parse(QStringLiteral(
        " \"/usr/bin/convert\" \"/tmp/F/x y.jpg\" -fill rgb(255,250,250) -gravity Southeast "
        "-annotate +0+5 \"Urlaub  \" \"\" \"/tmp/F/Text-Included/x y.jpg\""));
    ASSERT_EQ(c.kind, CommandKind::Program);
    EXPECT_EQ(c.args, words({"/usr/bin/convert", "/tmp/F/x y.jpg", "-fill", "rgb(255,250,250)",
                             "-gravity", "Southeast", "-annotate", "+0+5", "Urlaub  ", "",
                             "/tmp/F/Text-Included/x y.jpg"}));
    EXPECT_FALSE(c.redirect.has_value());
    EXPECT_EQ(parse(QStringLiteral(" mogrify -auto-orient /tmp/F/IMG_1.JPG ")).args,
              words({"mogrify", "-auto-orient", "/tmp/F/IMG_1.JPG"}));

    c = parse(QStringLiteral("convert -list font > \"/p q/export.txt\"  "));
    ASSERT_EQ(c.kind, CommandKind::Program);
    EXPECT_EQ(c.args, words({"convert", "-list", "font"}));
    ASSERT_TRUE(c.redirect.has_value());
    EXPECT_EQ(c.redirect->path, QStringLiteral("/p q/export.txt"));
    EXPECT_FALSE(c.redirect->append);
    c = parse(QStringLiteral("convert -list font>>/p/log.txt"));
    EXPECT_EQ(c.args, words({"convert", "-list", "font"}));
    EXPECT_TRUE(c.redirect && c.redirect->append &&
                c.redirect->path == QStringLiteral("/p/log.txt"));
    EXPECT_EQ(parse(QStringLiteral("x \">\" \"a|b\" ^<")).args, words({"x", ">", "a|b", "<"}));

    for (const char* bad :
         {"convert a > b c", "convert a > b > c", "convert a 2> err.txt", "convert a >",
          "convert a | more", "convert < in", "convert a & del b", "> x"}) {
        EXPECT_EQ(parse(QString::fromUtf8(bad)).kind, CommandKind::Refused) << bad;
    }
}
