#include <gtest/gtest.h>

#include <QRegularExpression>

#include "batch/expansion.h"
#include "core/scripttext.h"

using namespace kadrano::batch;

namespace {

QString expand(const QString& line, const QStringList& args = {}) {
    Variables vars;
    vars.set(QStringLiteral("Zeit"), QStringLiteral("14:05"), false);
    return expandPercents(line, makeParameters(QStringLiteral("t.bat"), args), vars);
}

}  // namespace

TEST(Expansion, HeaderLineWithAndWithoutStartTime) {
    const QString header = kadrano::scriptHeader().at(1);
    const QString withArg = expand(header, {QStringLiteral("14:05")});
    EXPECT_TRUE(withArg.startsWith(QStringLiteral("if \"14:05\"==\"\" (set Zeit=")));
    EXPECT_TRUE(withArg.endsWith(QStringLiteral(") else (set Zeit=14:05)")));
    // Without arguments %1 is empty and %time% the clock, as "H:MM:SS" and hundredths.
    const QString bare = expand(header);
    EXPECT_TRUE(QRegularExpression(
                    QStringLiteral(
                        R"(^if ""=="" \(set Zeit=[ 12]\d:\d\d:\d\d[,.]\d\d\) else \(set Zeit=\)$)"))
                    .match(bare)
                    .hasMatch())
        << bare.toStdString();
}

TEST(Expansion, PercentRules) {
    EXPECT_EQ(
        expand(kadrano::progressLine(1, 4)),
        QStringLiteral("@Echo #####  25% - Verb.: 4    (Nr: 2 / 4)  Start: 14:05 Uhr  #####"));
    // Names are case-insensitive; an undefined variable leaves nothing.
    EXPECT_EQ(expand(QStringLiteral("[%zeit%|%ZEIT%|%Undefined%]")),
              QStringLiteral("[14:05|14:05|]"));
    // A % without a closing one is dropped, the text after it stays.
    EXPECT_EQ(expand(QStringLiteral("ren 50%.jpg x.jpg")), QStringLiteral("ren 50.jpg x.jpg"));
    // Two of them enclose a "variable" that is not there: the text between goes.
    EXPECT_EQ(expand(QStringLiteral("ren 50%.jpg 60%.jpg")), QStringLiteral("ren 50.jpg"));
    EXPECT_EQ(expand(QStringLiteral("100%")), QStringLiteral("100"));
    // %2 is a parameter, even inside quotes.
    EXPECT_EQ(
        expand(QStringLiteral("\"Foto%20Urlaub.jpg\""), {QStringLiteral("a"), QStringLiteral("b")}),
        QStringLiteral("\"Fotob0Urlaub.jpg\""));
    EXPECT_EQ(expand(QStringLiteral("Foto%%20Urlaub.jpg")), QStringLiteral("Foto%20Urlaub.jpg"));
    EXPECT_EQ(
        expand(QStringLiteral("%0|%*|%~2|%9"), {QStringLiteral("a"), QStringLiteral("\"b c\"")}),
        QStringLiteral("t.bat|a \"b c\"|b c|"));
}

TEST(Expansion, ParametersSplitLikeTheCommandInterpreter) {
    const Parameters p = makeParameters(
        QStringLiteral("t.bat"),
        {QStringLiteral("a,b;c=d"), QStringLiteral("\"x y\""), QStringLiteral("e f")});
    EXPECT_EQ(p.items,
              (QStringList{QStringLiteral("t.bat"), QStringLiteral("a"), QStringLiteral("b"),
                           QStringLiteral("c"), QStringLiteral("d"), QStringLiteral("\"x y\""),
                           QStringLiteral("e"), QStringLiteral("f")}));
    EXPECT_EQ(p.item(42), QString());
}

TEST(Expansion, TimeAndVariables) {
    EXPECT_EQ(commandTime(QTime(9, 5, 7, 120), u','), QStringLiteral(" 9:05:07,12"));
    EXPECT_EQ(commandTime(QTime(23, 59, 59, 999), u'.'), QStringLiteral("23:59:59.99"));

    Variables vars;
    vars.set(QStringLiteral("KadranoTestVar"), QStringLiteral("eins"));
    EXPECT_EQ(qgetenv("KadranoTestVar"), QByteArray("eins"));  // programs see it
    vars.set(QStringLiteral("KADRANOTESTVAR"), QStringLiteral("zwei"));
    EXPECT_EQ(qgetenv("KadranoTestVar"), QByteArray("zwei"));  // the spelling that is there
    EXPECT_EQ(vars.listing(u"kadranotest"), QStringList{QStringLiteral("KadranoTestVar=zwei")});
    vars.set(QStringLiteral("kadranotestvar"), QString());
    EXPECT_TRUE(vars.value(u"KadranoTestVar").isNull());
    EXPECT_FALSE(qEnvironmentVariableIsSet("KadranoTestVar"));
    // A variable that is set hides the dynamic one of the same name.
    vars.set(QStringLiteral("time"), QStringLiteral("frozen"), false);
    EXPECT_EQ(vars.value(u"TIME"), QStringLiteral("frozen"));
}
