#include <gtest/gtest.h>

#include "analysis/duplicates.h"

using namespace kadrano;

namespace {

const QString kA = QStringLiteral("0CC175B9C0F1B6A831C399E269772661");
const QString kB = QStringLiteral("900150983CD24FB0D6963F7D28E17F72");

QString line(const QString& digest, const char* path) {
    return ChecksumEntryLine(digest, QString::fromUtf8(path));
}

// The surplus copies a list yields, after sorting it as the search does.
QStringList surplusOf(QStringList lines) {
    SortChecksumLines(lines);
    QStringList out;
    for (const DuplicatePair& p : FindDuplicatePairs(lines))
        out.append(p.surplus);
    return out;
}

QStringList scriptOf(QStringList lines, const QString& tag, bool deleteCopies) {
    SortChecksumLines(lines);
    return PlanDuplicateScript(FindDuplicatePairs(lines), tag, deleteCopies).lines;
}

}  // namespace

TEST(ChecksumList, LinesTakenApart) {
    const ChecksumEntry e = SplitChecksumLine(line(kA, "/Fotos/a;b;c.jpg"));
    EXPECT_EQ(e.digest, kA);
    EXPECT_EQ(e.path, QStringLiteral("/Fotos/a;b;c.jpg"));
    const ChecksumEntry noPath = SplitChecksumLine(kA);
    EXPECT_EQ(noPath.digest, kA);
    EXPECT_TRUE(noPath.path.isEmpty());

    // The file as written: header lines, CR LF, UTF-8 names; nothing after the last break.
    const QByteArray file =
        "chcp 1252\r\nif \"%1\"==\"\" (set Zeit=%time%) else (set Zeit=%1%2%3)\r\n" +
        kA.toLatin1() + ";/F/\xc3\xa4 1.jpg\r\n" + kB.toLatin1() + ";/F/b.jpg\r\n";
    EXPECT_EQ(ChecksumEntryLines(file),
              QStringList({kA + QStringLiteral(";/F/ä 1.jpg"), kB + QStringLiteral(";/F/b.jpg")}));
    // A list that holds only its header (or nothing at all) has no entries.
    EXPECT_TRUE(ChecksumEntryLines("chcp 1252\r\nif x\r\n").isEmpty());
    EXPECT_TRUE(ChecksumEntryLines(QByteArray()).isEmpty());
}

// Within a group the path that sorts last by code units is kept, whatever the locale says.
TEST(DuplicatePairs, TheLastSortingPathIsKept) {
    EXPECT_EQ(surplusOf({line(kA, "/F/Bild.jpg"), line(kA, "/F/Bild - Kopie.jpg")}),
              QStringList{QStringLiteral("/F/Bild - Kopie.jpg")});
    EXPECT_EQ(surplusOf({line(kA, "/F/a.jpg"), line(kA, "/F/Sub/a.jpg")}),
              QStringList{QStringLiteral("/F/Sub/a.jpg")});
    EXPECT_EQ(surplusOf({line(kA, "/F/b.jpg"), line(kA, "/F/B.jpg")}),
              QStringList{QStringLiteral("/F/B.jpg")});
    EXPECT_EQ(surplusOf({line(kA, "/F/z.jpg"), line(kA, "/F/ä.jpg")}),
              QStringList{QStringLiteral("/F/z.jpg")});

    // Three equal files, two others equal among themselves, one alone: the groups stay
    // apart even though their lines interleave in the collected order.
    const QStringList surplus =
        surplusOf({line(kB, "/F/3.jpg"), line(kA, "/F/x2.jpg"), line(kB, "/F/1.jpg"),
                   line(kA, "/F/x1.jpg"), line(kB, "/F/2.jpg"),
                   line(QStringLiteral("D41D8CD98F00B204E9800998ECF8427E"), "/F/alone.jpg")});
    EXPECT_EQ(surplus, QStringList({QStringLiteral("/F/x1.jpg"), QStringLiteral("/F/1.jpg"),
                                    QStringLiteral("/F/2.jpg")}));

    // Lines without a path never pair, not even with each other.
    EXPECT_TRUE(surplusOf({kA, kA, kA + u';'}).isEmpty());
    EXPECT_TRUE(surplusOf({}).isEmpty());
}

TEST(DuplicateScript, MarkingPutsTheTagInFrontOfTheName) {
    const QStringList lines = {line(kA, "/F/Bild.jpg"), line(kA, "/F/Bild - Kopie.jpg"),
                               line(kA, "/F/A;x/Bild.jpg"), line(kB, "/F/b.jpg")};
    EXPECT_EQ(scriptOf(lines, QStringLiteral("[Doppelt]"), false),
              QStringList({
                  QStringLiteral("@Echo #####  1    Start: %Zeit% #####"),
                  QStringLiteral("ren \"/F/A;x/Bild.jpg\" [Doppelt]Bild.jpg"),
                  QStringLiteral("@Echo #####  2    Start: %Zeit% #####"),
                  QStringLiteral("ren \"/F/Bild - Kopie.jpg\" \"[Doppelt]Bild - Kopie.jpg\""),
              }));
    // A tag with a blank makes the new name one quoted argument; an empty tag leaves the
    // name as it is.
    EXPECT_EQ(scriptOf(lines, QStringLiteral("Kopie von "), false).at(1),
              QStringLiteral("ren \"/F/A;x/Bild.jpg\" \"Kopie von Bild.jpg\""));
    EXPECT_EQ(scriptOf(lines, QString(), false).at(3),
              QStringLiteral("ren \"/F/Bild - Kopie.jpg\" \"Bild - Kopie.jpg\""));
    // Signs the command interpreter acts on stay inside quotes; % is doubled.
    EXPECT_EQ(
        scriptOf({line(kA, "/F/50%&mehr.jpg"), line(kA, "/F/x.jpg")}, QStringLiteral("[D]"), false)
            .at(1),
        QStringLiteral("ren \"/F/50%%&mehr.jpg\" \"[D]50%%&mehr.jpg\""));
}

TEST(DuplicateScript, DeletingWritesDelLinesWhateverTheTag) {
    const QStringList lines = {line(kA, "/F/a b.jpg"), line(kA, "/F/c.jpg"), line(kA, "/F/d.jpg")};
    EXPECT_EQ(scriptOf(lines, QStringLiteral("[Doppelt]"), true),
              QStringList({
                  QStringLiteral("@Echo #####  1    Start: %Zeit% #####"),
                  QStringLiteral("del \"/F/a b.jpg\""),
                  QStringLiteral("@Echo #####  2    Start: %Zeit% #####"),
                  QStringLiteral("del /F/c.jpg"),
              }));
}

// A name with a double quote or a line break cannot stand in a script line: its pair is
// left out, counted, and the numbers of the others stay without gaps.
TEST(DuplicateScript, NamesThatCannotStandInAScriptAreSkipped) {
    QStringList lines = {line(kA, "/F/a\"1.jpg"), line(kA, "/F/b.jpg"), line(kA, "/F/c.jpg"),
                         ChecksumEntryLine(kB, QStringLiteral("/F/line\nbreak.jpg")),
                         line(kB, "/F/z.jpg")};
    SortChecksumLines(lines);
    const DuplicateScript marked =
        PlanDuplicateScript(FindDuplicatePairs(lines), QStringLiteral("[D]"), false);
    EXPECT_EQ(marked.count, 1);
    EXPECT_EQ(marked.skipped, 2);
    EXPECT_EQ(marked.lines, QStringList({QStringLiteral("@Echo #####  1    Start: %Zeit% #####"),
                                         QStringLiteral("ren /F/b.jpg [D]b.jpg")}));
    // A tag that cannot stand in a line spoils every rename, but not a deletion.
    const std::vector<DuplicatePair> pairs = FindDuplicatePairs(lines);
    EXPECT_EQ(PlanDuplicateScript(pairs, QStringLiteral("\"x\""), false).skipped, 3);
    EXPECT_EQ(PlanDuplicateScript(pairs, QStringLiteral("\"x\""), true).count, 1);
}

TEST(DuplicateScript, TheWalkEndsWhenAskedAfterAPair) {
    const std::vector<DuplicatePair> pairs = FindDuplicatePairs(
        {line(kA, "/F/1.jpg"), line(kA, "/F/2.jpg"), line(kA, "/F/3.jpg"), line(kA, "/F/4.jpg")});
    std::vector<int> seen;
    const DuplicateScript script = PlanDuplicateScript(pairs, QString(), true, [&](int count) {
        seen.push_back(count);
        return count < 2;
    });
    EXPECT_EQ(seen, std::vector<int>({1, 2}));
    EXPECT_EQ(script.count, 2);
    EXPECT_EQ(script.lines.size(), 4);
}
