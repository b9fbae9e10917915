#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cstdio>
#include <string>
#include <vector>

#include "core/filecollector.h"
#include "core/ownfiles.h"
#include "core/undojournal.h"
#include "core/wildcard.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

class Observer : public CollectObserver {
public:
    QStringList statuses;
    int events = 0;
    bool cancel = false;
    int cancelAtStatus = -1;  // sets the cancel flag when this status count is reached
    void collectStatus(const QString& text) override {
        statuses.append(text);
        if (cancelAtStatus >= 0 && statuses.size() == cancelAtStatus)
            cancel = true;
    }
    void collectProcessEvents() override { ++events; }
    bool collectCancelRequested() const override { return cancel; }
};

QStringList relativePaths(const FileList& files, const QString& base) {
    QStringList out;
    for (int i = 0; i < files.count(); ++i)
        out.append(files.fullPath(i).mid(base.size()));
    return out;
}

}  // namespace

TEST(Wildcard, ComparesAsTheWindowsFileSearchDoes) {
    const WildcardPattern jpg(q("*.jpg"));
    EXPECT_TRUE(jpg.matches(q("IMG_1.jpg")));
    EXPECT_TRUE(jpg.matches(q("IMG_1.JPG")));
    EXPECT_TRUE(jpg.matches(q("Müll.Jpg")));
    EXPECT_FALSE(jpg.matches(q("x.jpeg")));
    EXPECT_FALSE(jpg.matches(q("x.jpg.txt")));
    const WildcardPattern all(q("*.*"));
    EXPECT_TRUE(all.matches(q("README")));
    const WildcardPattern some(q("a?c*.*"));
    EXPECT_TRUE(some.matches(q("abc.jpg")));
    EXPECT_TRUE(some.matches(q("aäcdef")));  // "?" is one character, "name.*" also "name"
    EXPECT_FALSE(some.matches(q("ac.jpg")));
    const WildcardPattern umlaut(q("*ü*"));
    EXPECT_TRUE(umlaut.matches(q("MÜLL.jpg")));
    EXPECT_TRUE(umlaut.matchesUtf8("m\xc3\xbcll.jpg"));
    EXPECT_TRUE(WildcardPattern(q("IMG_????.jpg")).matchesUtf8("IMG_\xc3\xa4\x62\x63\x64.jpg"));
}

TEST(Collect, WalksTheTreeBreadthFirstWithNamesInOneStableOrder) {
    TempFolder t;
    for (const char* f :
         {"A/b.jpg", "A/a.JPG", "A/C.jpg", "A/x/2.jpg", "A/x/z/deep.jpg", "A/y/1.jpg",
          "A/y/not.png", "A/.hidden.jpg", "A/.cache/h.jpg", "A/dir.jpg/inner.jpg"})
        t.write(q(f));
    Observer obs;
    const CollectResult r =
        collectPictureFiles(t.file(q("A/")), q("*.jpg"), true, Language::German, obs);
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(relativePaths(r.files, t.path()),
              QStringList({q("A/a.JPG"), q("A/b.jpg"), q("A/C.jpg"), q("A/dir.jpg/inner.jpg"),
                           q("A/x/2.jpg"), q("A/y/1.jpg"), q("A/x/z/deep.jpg")}));
    EXPECT_EQ(r.files.FileDirs.first(), t.file(q("A/")));
    EXPECT_EQ(r.files.FileDirs.last(), t.file(q("A/x/z/")));
    EXPECT_EQ(obs.statuses.first(), q("Suche läuft..   (ESC = Abbr.)"));
}

TEST(Collect, OnlyTheTopFolderWithoutSubdirectories) {
    TempFolder t;
    for (const char* f : {"b.jpg", "a.jpg", "sub/c.jpg"})
        t.write(q(f));
    Observer obs;
    const CollectResult r = collectPictureFiles(t.path(), q("*.jpg"), false, Language::German, obs);
    EXPECT_EQ(r.files.FileNames, QStringList({q("a.jpg"), q("b.jpg")}));
    EXPECT_EQ(r.files.FileDirs, QStringList({t.path(), t.path()}));
    EXPECT_TRUE(obs.statuses.isEmpty());
}

TEST(Collect, StatusCountsAreThinnedAndGroupedByTheLocale) {
    TempFolder t;
    for (int i = 0; i < 2500; ++i)
        t.write(QStringLiteral("d%1/f%2.jpg").arg(i % 7).arg(i));
    Observer obs;
    const CollectResult r = collectPictureFiles(t.path(), q("*.jpg"), true, Language::German, obs);
    EXPECT_EQ(r.files.count(), 2500);
    ASSERT_EQ(obs.statuses.size(), 9);  // the start text and 300, 600, ..., 2400
    EXPECT_EQ(obs.statuses[1], q("Suche läuft.. (300) (ESC = Abbr.)"));
    EXPECT_EQ(obs.statuses[4], q("Suche läuft.. (1.200) (ESC = Abbr.)"));
    EXPECT_EQ(collectedStatusText(r.files.count(), false, Language::German), q("Gefunden: 2.500"));

    Observer english;
    collectPictureFiles(t.path(), q("*.jpg"), true, Language::English, english);
    EXPECT_EQ(english.statuses[4], q("Searching.. (1.200) (ESC = Cancel)"));

    TempFolder flat;
    for (int i = 0; i < 25; ++i)
        flat.write(QStringLiteral("f%1.jpg").arg(i));
    Observer single;
    collectPictureFiles(flat.path(), q("*.jpg"), false, Language::English, single);
    EXPECT_EQ(single.statuses, QStringList({q("Searching .. (10) (ESC = Cancel)"),
                                            q("Searching .. (20) (ESC = Cancel)")}));
}

TEST(Collect, EscapeStopsTheWalkAndKeepsWhatWasFound) {
    TempFolder t;
    for (int i = 0; i < 2000; ++i)
        t.write(QStringLiteral("d%1/f%2.jpg").arg(i % 3).arg(i));
    Observer obs;
    obs.cancelAtStatus = 5;  // ESC arrives while the count 1200 is shown
    const CollectResult r = collectPictureFiles(t.path(), q("*.jpg"), true, Language::German, obs);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.files.count(), 1200);
    EXPECT_EQ(collectedStatusText(r.files.count(), true, Language::German),
              q("Gefunden: 1.200  (Unterbrochen)"));
    EXPECT_EQ(collectedStatusText(1234, true, Language::English), q("Found: 1.234  (Interrupted)"));

    // A single folder looks at ESC every tenth file.
    TempFolder flat;
    for (int i = 0; i < 35; ++i)
        flat.write(QStringLiteral("f%1.jpg").arg(i, 2, 10, QChar(u'0')));
    Observer single;
    single.cancel = true;
    const CollectResult s =
        collectPictureFiles(flat.path(), q("*.jpg"), false, Language::German, single);
    EXPECT_EQ(s.files.count(), 10);
}

TEST(Collect, MissingFoldersAndUnusableNamesContributeNothing) {
    TempFolder t;
    t.write(q("good.jpg"));
    // Not valid UTF-8: it could not be written into a script or opened again by its text.
    const QByteArray badName = QFile::encodeName(t.path()) + QByteArray("bad\xff.jpg");
    FILE* f = std::fopen(badName.constData(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    Observer obs;
    EXPECT_EQ(
        collectPictureFiles(t.path(), q("*.jpg"), true, Language::German, obs).files.FileNames,
        QStringList({q("good.jpg")}));
    std::remove(badName.constData());  // the temporary folder could not remove it by its text
    EXPECT_TRUE(collectPictureFiles(t.file(q("missing/")), q("*.jpg"), true, Language::German, obs)
                    .files.isEmpty());
    EXPECT_EQ(noFilesFoundStatusText(Language::German), q("Keine Dateien gefunden"));
    EXPECT_EQ(noFilesFoundStatusText(Language::English), q("No Files found"));
}

TEST(Collect, TheFileListTextHasOneLinePerFileAndAnEmptyLast) {
    FileList files;
    files.append(q("a.jpg"), q("/F/"));
    files.append(q("b.jpg"), q("/F/"));
    files.append(q("c.jpg"), q("/F/sub/"));
    EXPECT_EQ(fileListLines(files),
              QStringList({q("/F/a.jpg"), q("/F/b.jpg"), q("/F/sub/c.jpg"), QString()}));
}

TEST(Collect, TheProgramsOwnScriptsAndListsAreNeverCollected) {
    // As the window's areas declare them; a name given twice counts once.
    const OwnFiles own = {kShuffleScriptName,     kChecksumListFileName, kShuffleRecordName,
                          kResizeScriptName,      kUndoScriptName,       kShuffleScriptName,
                          "Notizen mit Blank.txt"};
    TempFolder t;
    for (const QString& name : own.names()) {
        t.write(name);
        t.write(q("sub/") + name);
    }
    t.write(q("_RENAME_RANDOM.BAT"));  // the same file to Windows
    for (const char* f : {"a.jpg", "_Notizen.txt", "sub/b.jpg", "Notizen.txt"})
        t.write(q(f));
    Observer obs;
    const CollectResult all =
        collectPictureFiles(t.path(), q("*.*"), true, Language::German, obs, own);
    EXPECT_EQ(relativePaths(all.files, t.path()),
              QStringList({q("_Notizen.txt"), q("a.jpg"), q("Notizen.txt"), q("sub/b.jpg")}));
    EXPECT_FALSE(all.leftOut.any());
    const CollectResult top =
        collectPictureFiles(t.path(), q("*.*"), false, Language::German, obs, own);
    EXPECT_EQ(top.files.FileNames, QStringList({q("_Notizen.txt"), q("a.jpg"), q("Notizen.txt")}));
    EXPECT_EQ(own.names().size(), 6);
    EXPECT_TRUE(own.contains(u"_datei_checksummenliste.TXT"));
    EXPECT_TRUE(own.contains(u".KADRANO-shuffle"));
    EXPECT_FALSE(own.contains(u"_Rename_Random.bat.jpg"));
    EXPECT_FALSE(own.contains(u"_Rename_Random.ba"));
    EXPECT_FALSE(own.contains(u""));
    // Without a list, a collection by "*.*" takes them all.
    const QStringList plain =
        collectPictureFiles(t.path(), q("*.*"), false, Language::German, obs).files.FileNames;
    for (const char* name : {"_Rename_Random.bat", "_RENAME_RANDOM.BAT", "Notizen mit Blank.txt"})
        EXPECT_TRUE(plain.contains(q(name))) << name;
}

namespace {

// A chain of sub-folders whose full path grows past what the system lets a program name
// (PATH_MAX): the deepest ones exist but cannot be listed by their path, even by root.
// Made and removed one step at a time through directory handles.
class TooDeepFolders {
public:
    explicit TooDeepFolders(const QString& base) {
        const std::string step(250, 'd');
        int fd = ::open(QFile::encodeName(base).constData(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < 20 && fd >= 0; ++i) {
            ::mkdirat(fd, step.c_str(), 0700);
            const int next = ::openat(fd, step.c_str(), O_RDONLY | O_DIRECTORY);
            fds_.push_back(fd);
            fd = next;
        }
        if (fd >= 0) {
            ::close(::openat(fd, "deep.jpg", O_WRONLY | O_CREAT, 0600));
            fds_.push_back(fd);
        }
    }
    ~TooDeepFolders() {
        const std::string step(250, 'd');
        if (!fds_.empty())
            ::unlinkat(fds_.back(), "deep.jpg", 0);
        for (size_t i = fds_.size(); i-- > 0;) {
            if (i + 1 < fds_.size())
                ::unlinkat(fds_[i], step.c_str(), AT_REMOVEDIR);
            ::close(fds_[i]);
        }
    }
    bool made() const { return fds_.size() == 21; }

private:
    std::vector<int> fds_;
};

}  // namespace

TEST(Collect, SaysWhatItLeftOutAndWhy) {
    Observer obs;
    TempFolder t;
    const CollectResult missing =
        collectPictureFiles(t.file(q("gibt es nicht/")), q("*.jpg"), true, Language::German, obs);
    EXPECT_TRUE(missing.leftOut.topMissing);
    EXPECT_EQ(collectLeftOutNote(missing.leftOut, Language::German),
              q("Nicht erfasst:\nDer Ordner existiert nicht."));
    EXPECT_EQ(collectLeftOutNote(missing.leftOut, Language::English),
              q("Left out:\nThe folder does not exist."));
    EXPECT_TRUE(
        collectPictureFiles(t.file(q("gibt es nicht/")), q("*.jpg"), false, Language::German, obs)
            .leftOut.topMissing);

    // Names that are not valid UTF-8: a picture and a folder.
    t.write(q("good.jpg"));
    const QByteArray base = QFile::encodeName(t.path());
    ::close(::open((base + "bad\xff.jpg").constData(), O_WRONLY | O_CREAT, 0600));
    ::close(::open((base + "bad\xfe.txt").constData(), O_WRONLY | O_CREAT, 0600));  // no match
    ::mkdir((base + "Ordner\xfe").constData(), 0700);
    TooDeepFolders deep(t.path());
    ASSERT_TRUE(deep.made());
    const CollectResult tree =
        collectPictureFiles(t.path(), q("*.jpg"), true, Language::German, obs);
    EXPECT_EQ(tree.files.FileNames, QStringList({q("good.jpg")}));
    EXPECT_FALSE(tree.leftOut.topMissing || tree.leftOut.topUnreadable);
    EXPECT_EQ(tree.leftOut.undecodableNames, 2);
    EXPECT_EQ(tree.leftOut.unreadableFolders, 1);
    EXPECT_EQ(collectLeftOutNote(tree.leftOut, Language::German),
              q("Nicht erfasst:\n1 Unterordner nicht lesbar (übersprungen).\n"
                "2 Datei- oder Ordnernamen ausgelassen: kein gültiges UTF-8, in einem Skript "
                "nicht schreibbar."));
    EXPECT_EQ(collectLeftOutNote(tree.leftOut, Language::English),
              q("Left out:\n1 sub-folder(s) could not be read (skipped).\n"
                "2 file or folder name(s) left out: not valid UTF-8, they cannot be written "
                "into a script."));
    const CollectResult flat =
        collectPictureFiles(t.path(), q("*.jpg"), false, Language::German, obs);
    EXPECT_EQ(flat.leftOut.undecodableNames, 1);
    EXPECT_EQ(flat.leftOut.unreadableFolders, 0);
    EXPECT_EQ(collectLeftOutNote(CollectLeftOut(), Language::German), QString());

    // The temporary folder cannot remove what it cannot name.
    ::unlink((base + "bad\xff.jpg").constData());
    ::unlink((base + "bad\xfe.txt").constData());
    ::rmdir((base + "Ordner\xfe").constData());
}
