#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <random>

#include "analysis/digestahead.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::TempFolder;

namespace {

std::optional<QString> md5Of(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex())
        .toUpper();
}

std::vector<std::optional<QString>> takeAll(DigestAhead& ahead, int count) {
    std::vector<std::optional<QString>> out;
    for (int k = 0; k < count; ++k) {
        while (!ahead.waitFor(k, std::chrono::milliseconds(50))) {
        }
        out.push_back(ahead.take(k));
    }
    return out;
}

}  // namespace

// Files of every length side by side, with the ones that cannot be read in between: each
// result belongs to its own file, in list order, whatever the workers and their reach.
TEST(DigestAhead, ResultsInListOrder) {
    TempFolder folder;
    std::mt19937 rng(3);
    QStringList paths;
    std::vector<std::optional<QString>> expected;
    for (int i = 0; i < 120; ++i) {
        if (i % 17 == 5) {
            paths.append(folder.file(QStringLiteral("missing%1.jpg").arg(i)));
            expected.push_back(std::nullopt);
            continue;
        }
        if (i % 17 == 9) {
            folder.mkdir(QStringLiteral("dir%1.jpg").arg(i));
            paths.append(folder.file(QStringLiteral("dir%1.jpg").arg(i)));
            expected.push_back(std::nullopt);
            continue;
        }
        const qsizetype sizes[] = {0, 1, 63, 64, 65, 65535, 65536, 65537, 200000};
        const qsizetype size = i < 9 ? sizes[i] : qsizetype(rng() % 150000);
        QByteArray bytes(size, Qt::Uninitialized);
        for (char& c : bytes)
            c = char(rng());
        paths.append(folder.write(QStringLiteral("f%1.jpg").arg(i), bytes));
        expected.push_back(md5Of(bytes));
    }
    paths.append(QString());
    expected.push_back(std::nullopt);

    for (const auto& [threads, reach] : {std::pair{1, 1}, {1, 16}, {2, 2}, {3, 16}}) {
        DigestAhead ahead(paths, threads, reach);
        EXPECT_EQ(takeAll(ahead, int(paths.size())), expected) << threads << " " << reach;
    }
}
