#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "batch/fileops.h"
#include "support/testfiles.h"

using namespace kadrano::batch;
using kadrano::test::TempFolder;

namespace {

// A file of the test folder as the system calls want it.
struct path {
    path(const TempFolder& f, const char* name)
        : bytes(QFile::encodeName(f.file(QString::fromUtf8(name)))) {}
    operator const char*() const { return bytes.constData(); }
    QByteArray bytes;
};

}  // namespace

// Both ways of renaming must keep every file that already has the new name, files and
// folders alike; the second is what file systems without the no-replace flag get.
TEST(FileOps, RenameNeverReplaces) {
    for (auto renameFn : {&renameNoReplace, &renameWithoutNoReplaceFlag}) {
        TempFolder f;
        f.write(QStringLiteral("a.jpg"), "A");
        f.write(QStringLiteral("b.jpg"), "B");
        EXPECT_EQ(renameFn(path(f, "a.jpg"), path(f, "b.jpg")), EEXIST);
        EXPECT_EQ(f.read(QStringLiteral("a.jpg")), QByteArray("A"));
        EXPECT_EQ(f.read(QStringLiteral("b.jpg")), QByteArray("B"));
        EXPECT_EQ(renameFn(path(f, "a.jpg"), path(f, "c.jpg")), 0);
        EXPECT_EQ(f.names(), (QStringList{QStringLiteral("b.jpg"), QStringLiteral("c.jpg")}));
        EXPECT_EQ(f.read(QStringLiteral("c.jpg")), QByteArray("A"));
        EXPECT_EQ(renameFn(path(f, "missing.jpg"), path(f, "d.jpg")), ENOENT);
        EXPECT_FALSE(f.exists(QStringLiteral("d.jpg")));

        // A folder: renamed with its content, never onto another folder, not even an empty one.
        f.write(QStringLiteral("dir/x.jpg"));
        f.mkdir(QStringLiteral("empty"));
        EXPECT_EQ(renameFn(path(f, "dir"), path(f, "empty")), EEXIST);
        EXPECT_TRUE(f.exists(QStringLiteral("dir/x.jpg")));
        EXPECT_EQ(renameFn(path(f, "dir"), path(f, "moved")), 0);
        EXPECT_TRUE(f.exists(QStringLiteral("moved/x.jpg")));
        EXPECT_FALSE(f.exists(QStringLiteral("dir")));
        // A file onto a folder's name and back.
        EXPECT_EQ(renameFn(path(f, "b.jpg"), path(f, "empty")), EEXIST);
        EXPECT_EQ(renameFn(path(f, "empty"), path(f, "b.jpg")), EEXIST);
        EXPECT_EQ(f.read(QStringLiteral("b.jpg")), QByteArray("B"));
    }
}

TEST(FileOps, RemoveExactlyOneWritableFile) {
    TempFolder f;
    f.write(QStringLiteral("a.jpg"));
    f.write(QStringLiteral("keep.jpg"));
    f.write(QStringLiteral("dir/inside.jpg"));
    const QString readOnly = f.write(QStringLiteral("ro.jpg"));
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    ASSERT_EQ(::symlink(path(f, "keep.jpg"), path(f, "link.jpg")), 0);

    EXPECT_EQ(removeOneFile(path(f, "a.jpg")), 0);
    EXPECT_EQ(removeOneFile(path(f, "a.jpg")), ENOENT);
    EXPECT_EQ(removeOneFile(path(f, "dir")), EISDIR);
    EXPECT_EQ(removeOneFile(path(f, "ro.jpg")), EACCES);
    EXPECT_EQ(removeOneFile(path(f, "link.jpg")), 0);  // the link goes, not what it points to
    EXPECT_EQ(f.names(), (QStringList{QStringLiteral("keep.jpg"), QStringLiteral("ro.jpg")}));
    EXPECT_TRUE(f.exists(QStringLiteral("dir/inside.jpg")));
}

TEST(FileOps, MakeFolderPath) {
    TempFolder f;
    EXPECT_EQ(makeFolderPath(path(f, "a/b c/d")), 0);
    EXPECT_TRUE(f.exists(QStringLiteral("a/b c/d")));
    EXPECT_EQ(makeFolderPath(path(f, "a/b c")), EEXIST);
    f.write(QStringLiteral("file"));
    EXPECT_EQ(makeFolderPath(path(f, "file")), EEXIST);
    EXPECT_EQ(makeFolderPath(path(f, "file/sub/x")), ENOTDIR);
}

// A rename by link and unlink that was stopped in between leaves the file under both names;
// the same rename run again finishes it. One name given twice is not two names of a file,
// even when the file has another hard link elsewhere: nothing is removed then.
TEST(FileOps, RenameFinishesWhenBothNamesAreAlreadyOneFile) {
    for (const bool fallback : {false, true}) {
        useRenameFallback(fallback);
        TempFolder f;
        f.write(QStringLiteral("a.jpg"), "A");
        ASSERT_EQ(::link(path(f, "a.jpg"), path(f, "b.jpg")), 0);
        EXPECT_EQ(renameNoReplace(path(f, "a.jpg"), path(f, "b.jpg")), 0);
        EXPECT_EQ(f.names(), QStringList{QStringLiteral("b.jpg")});
        EXPECT_EQ(f.read(QStringLiteral("b.jpg")), QByteArray("A"));

        f.mkdir(QStringLiteral("sub"));
        ASSERT_EQ(::link(path(f, "b.jpg"), path(f, "sub/other.jpg")), 0);
        EXPECT_EQ(renameNoReplace(path(f, "b.jpg"), path(f, "b.jpg")), EEXIST);
        EXPECT_EQ(renameNoReplace(path(f, "b.jpg"), path(f, "./b.jpg")), EEXIST);
        EXPECT_EQ(f.read(QStringLiteral("b.jpg")), QByteArray("A"));

        // A link to the new name is a name of its own, not the file: it stays.
        ASSERT_EQ(::symlink("b.jpg", path(f, "link.jpg")), 0);
        EXPECT_EQ(renameNoReplace(path(f, "link.jpg"), path(f, "b.jpg")), EEXIST);
        EXPECT_EQ(f.names(), (QStringList{QStringLiteral("b.jpg"), QStringLiteral("link.jpg")}));
    }
    useRenameFallback(false);
}
