#include <gtest/gtest.h>

#include <QHash>

#include "analysis/duplicates.h"

using namespace kadrano;

namespace {

const QString kA = QStringLiteral("0CC175B9C0F1B6A831C399E269772661");
const QString kB = QStringLiteral("900150983CD24FB0D6963F7D28E17F72");

QString line(const QString& digest, const char* path) {
    return checksumEntryLine(digest, QString::fromUtf8(path));
}

// A disk on which every path is a file of its own, unless the test says otherwise.
struct FakeDisk {
    QHash<QString, FileIdentity> known;
    quint64 file(const char* path, quint64 inode) {
        known.insert(QString::fromUtf8(path), FileIdentity{true, false, 1, inode});
        return inode;
    }
    void link(const char* path, quint64 target) {
        known.insert(QString::fromUtf8(path), FileIdentity{true, true, 1, target});
    }
    void gone(const char* path) { known.insert(QString::fromUtf8(path), FileIdentity{}); }
    FileIdentifier identifier() const {
        return [this](const QString& path) {
            return known.value(path, FileIdentity{true, false, 2, qHash(path)});
        };
    }
};

std::vector<DuplicatePair> pairsOf(QStringList lines, const QString& tag = QString(),
                                   const FakeDisk& disk = FakeDisk()) {
    sortChecksumLines(lines);
    return findDuplicatePairs(lines, tag, disk.identifier());
}

// The surplus copies a list yields, after sorting it as the search does.
QStringList surplusOf(QStringList lines, const QString& tag = QString(),
                      const FakeDisk& disk = FakeDisk()) {
    QStringList out;
    for (const DuplicatePair& p : pairsOf(lines, tag, disk))
        out.append(p.surplus);
    return out;
}

QStringList scriptOf(QStringList lines, const QString& tag, bool deleteCopies) {
    return planDuplicateScript(pairsOf(lines, tag), tag, deleteCopies).lines;
}

}  // namespace

TEST(ChecksumList, LinesTakenApart) {
    const ChecksumEntry e = splitChecksumLine(line(kA, "/Fotos/a;b;c.jpg"));
    EXPECT_EQ(e.digest, kA);
    EXPECT_EQ(e.path, QStringLiteral("/Fotos/a;b;c.jpg"));
    const ChecksumEntry noPath = splitChecksumLine(kA);
    EXPECT_EQ(noPath.digest, kA);
    EXPECT_TRUE(noPath.path.isEmpty());

    // The file as written: header lines, CR LF, UTF-8 names; nothing after the last break.
    const QByteArray file =
        "chcp 1252\r\nif \"%1\"==\"\" (set Zeit=%time%) else (set Zeit=%1%2%3)\r\n" +
        kA.toLatin1() + ";/F/\xc3\xa4 1.jpg\r\n" + kB.toLatin1() + ";/F/b.jpg\r\n";
    EXPECT_EQ(checksumEntryLines(file),
              QStringList({kA + QStringLiteral(";/F/ä 1.jpg"), kB + QStringLiteral(";/F/b.jpg")}));
    // A list that holds only its header (or nothing at all) has no entries.
    EXPECT_TRUE(checksumEntryLines("chcp 1252\r\nif x\r\n").isEmpty());
    EXPECT_TRUE(checksumEntryLines(QByteArray()).isEmpty());
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

// Only distinct real files are copies of each other. A link is never removed and never the
// copy that stays; names of one file count once. The copy that stays is an untagged one
// before a tagged one, the file a link leads to before others, else the last sorting.
TEST(DuplicatePairs, OnlyDistinctRealFilesAreCopies) {
    FakeDisk disk;
    const quint64 photo = disk.file("/F/photo.jpg", 1);
    disk.link("/F/z_link_to_photo.jpg", photo);
    disk.file("/F/photo_hard.jpg", photo);
    EXPECT_TRUE(surplusOf({line(kA, "/F/photo.jpg"), line(kA, "/F/z_link_to_photo.jpg"),
                           line(kA, "/F/photo_hard.jpg")},
                          QString(), disk)
                    .isEmpty());
    // Links alone, or beside a name that is gone, leave nothing to compare.
    disk.link("/F/l1.jpg", 7);
    disk.link("/F/l2.jpg", 7);
    disk.gone("/F/gone.jpg");
    EXPECT_TRUE(surplusOf({line(kA, "/F/l1.jpg"), line(kA, "/F/l2.jpg"), line(kA, "/F/gone.jpg"),
                           line(kA, "/F/here.jpg")},
                          QString(), disk)
                    .isEmpty());

    // A real copy beside a file and its link: the copy goes, the link keeps its target.
    const std::vector<DuplicatePair> linked = pairsOf(
        {line(kA, "/F/photo.jpg"), line(kA, "/F/z_link_to_photo.jpg"), line(kA, "/F/zz_copy.jpg")},
        QString(), disk);
    ASSERT_EQ(linked.size(), 1u);
    EXPECT_EQ(linked[0].surplus, QStringLiteral("/F/zz_copy.jpg"));
    EXPECT_EQ(linked[0].kept, QStringLiteral("/F/photo.jpg"));

    // Two names of a surplus file: one pair, by the later name.
    disk.file("/F/h1.jpg", 9);
    disk.file("/F/h2.jpg", 9);
    const std::vector<DuplicatePair> hard = pairsOf(
        {line(kB, "/F/h2.jpg"), line(kB, "/F/k.jpg"), line(kB, "/F/h1.jpg")}, QString(), disk);
    ASSERT_EQ(hard.size(), 1u);
    EXPECT_EQ(hard[0].surplus, QStringLiteral("/F/h2.jpg"));
    EXPECT_EQ(hard[0].kept, QStringLiteral("/F/k.jpg"));

    // Tagged names are kept only when every copy carries the tag; the tag outranks a link.
    const QString tag = QStringLiteral("[D]");
    const std::vector<DuplicatePair> tagged =
        pairsOf({line(kA, "/F/[D]a.jpg"), line(kA, "/F/Sub/a.jpg"), line(kA, "/F/b.jpg")}, tag);
    ASSERT_EQ(tagged.size(), 2u);
    EXPECT_EQ(tagged[0].surplus, QStringLiteral("/F/Sub/a.jpg"));
    EXPECT_EQ(tagged[1].surplus, QStringLiteral("/F/[D]a.jpg"));
    EXPECT_EQ(tagged[1].kept, QStringLiteral("/F/b.jpg"));
    EXPECT_EQ(surplusOf({line(kA, "/F/[D]2.jpg"), line(kA, "/F/[D]1.jpg")}, tag),
              QStringList{QStringLiteral("/F/[D]1.jpg")});
    EXPECT_EQ(surplusOf({line(kA, "/F/[D]a.jpg"), line(kA, "/F/B.jpg")}, tag),
              QStringList{QStringLiteral("/F/[D]a.jpg")});
    EXPECT_EQ(surplusOf({line(kA, "/F/[D]a.jpg"), line(kA, "/F/B.jpg")}, QString()),
              QStringList{QStringLiteral("/F/B.jpg")});
    disk.file("/F/[D]t.jpg", 12);
    disk.link("/F/to_t.jpg", 12);
    EXPECT_EQ(surplusOf({line(kB, "/F/[D]t.jpg"), line(kB, "/F/to_t.jpg"), line(kB, "/F/0.jpg")},
                        tag, disk),
              QStringList{QStringLiteral("/F/[D]t.jpg")});
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
                         checksumEntryLine(kB, QStringLiteral("/F/line\nbreak.jpg")),
                         line(kB, "/F/z.jpg")};
    const std::vector<DuplicatePair> pairs = pairsOf(lines);
    const DuplicateScript marked = planDuplicateScript(pairs, QStringLiteral("[D]"), false);
    EXPECT_EQ(marked.count, 1);
    EXPECT_EQ(marked.skipped, 2);
    EXPECT_EQ(marked.lines, QStringList({QStringLiteral("@Echo #####  1    Start: %Zeit% #####"),
                                         QStringLiteral("ren /F/b.jpg [D]b.jpg")}));
    // A tag that cannot stand in a line spoils every rename, but not a deletion.
    EXPECT_EQ(planDuplicateScript(pairs, QStringLiteral("\"x\""), false).skipped, 3);
    EXPECT_EQ(planDuplicateScript(pairs, QStringLiteral("\"x\""), true).count, 1);
}

// A name that carries the tag is marked already: no second tag, but it may be deleted.
TEST(DuplicateScript, ATaggedNameIsNotTaggedAgain) {
    const std::vector<DuplicatePair> pairs = {
        {QStringLiteral("/F/[D]a.jpg"), QStringLiteral("/F/b.jpg")},
        {QStringLiteral("/F/c.jpg"), QStringLiteral("/F/b.jpg")}};
    const DuplicateScript marked = planDuplicateScript(pairs, QStringLiteral("[D]"), false);
    EXPECT_EQ(marked.lines, QStringList({QStringLiteral("@Echo #####  1    Start: %Zeit% #####"),
                                         QStringLiteral("ren /F/c.jpg [D]c.jpg")}));
    EXPECT_EQ(marked.skipped, 0);
    EXPECT_EQ(planDuplicateScript(pairs, QStringLiteral("[D]"), true).lines.at(1),
              QStringLiteral("del /F/[D]a.jpg"));
}

TEST(DuplicateScript, TheWalkEndsWhenAskedAfterAPair) {
    const std::vector<DuplicatePair> pairs = pairsOf(
        {line(kA, "/F/1.jpg"), line(kA, "/F/2.jpg"), line(kA, "/F/3.jpg"), line(kA, "/F/4.jpg")});
    std::vector<int> seen;
    const DuplicateScript script = planDuplicateScript(pairs, QString(), true, [&](int count) {
        seen.push_back(count);
        return count < 2;
    });
    EXPECT_EQ(seen, std::vector<int>({1, 2}));
    EXPECT_EQ(script.count, 2);
    EXPECT_EQ(script.lines.size(), 4);
}
