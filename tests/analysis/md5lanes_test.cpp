#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <algorithm>
#include <random>

#include "analysis/digestahead.h"
#include "md5/md5lanes.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::TempFolder;

namespace {

QString reference(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex())
        .toUpper();
}

QByteArray randomBytes(qsizetype n, std::mt19937& rng) {
    QByteArray b(n, Qt::Uninitialized);
    for (char& c : b)
        c = char(rng() & 0xff);
    return b;
}

// Digests the messages through the lanes as the duplicate search does: a lane that ends
// its message takes the next one at once, and every round moves all lanes in work by at
// most step blocks (the shortest lane's whole blocks).
std::vector<QString> digestThroughLanes(Md5Kind kind, const std::vector<QByteArray>& messages,
                                        std::size_t step) {
    Md5Lanes md5(kind);
    const int lanes = md5.lanes();
    std::vector<int> message(std::size_t(lanes), -1);
    std::vector<qsizetype> pos(std::size_t(lanes), 0);
    std::vector<QString> digests(messages.size());
    std::size_t next = 0;
    std::size_t done = 0;
    while (done < messages.size()) {
        std::size_t blocks = step;
        for (int i = 0; i < lanes; ++i) {
            int& m = message[std::size_t(i)];
            qsizetype& p = pos[std::size_t(i)];
            for (;;) {
                if (m < 0 && next < messages.size()) {
                    m = int(next++);
                    p = 0;
                    md5.start(i);
                }
                if (m < 0)
                    break;
                const QByteArray& bytes = messages[std::size_t(m)];
                const qsizetype left = bytes.size() - p;
                if (left >= 64) {
                    blocks = std::min(blocks, std::size_t(left / 64));
                    break;
                }
                digests[std::size_t(m)] =
                    md5.finish(i, reinterpret_cast<const std::uint8_t*>(bytes.constData() + p),
                               std::size_t(left));
                ++done;
                m = -1;
            }
        }
        std::vector<const std::uint8_t*> data(std::size_t(lanes), nullptr);
        bool any = false;
        for (int i = 0; i < lanes; ++i) {
            const int m = message[std::size_t(i)];
            if (m < 0)
                continue;
            data[std::size_t(i)] = reinterpret_cast<const std::uint8_t*>(
                messages[std::size_t(m)].constData() + pos[std::size_t(i)]);
            any = true;
        }
        if (!any)
            continue;
        md5.update(data.data(), blocks);
        for (int i = 0; i < lanes; ++i)
            if (message[std::size_t(i)] >= 0)
                pos[std::size_t(i)] += qsizetype(blocks * 64);
    }
    return digests;
}

class Md5LanesTest : public ::testing::TestWithParam<Md5Kind> {
protected:
    void SetUp() override {
        if (!md5KindRuns(GetParam()))
            GTEST_SKIP() << md5KindName(GetParam())
                         << " cannot run here: the processor or this build lacks it";
    }
};

std::string kindName(const ::testing::TestParamInfo<Md5Kind>& info) {
    switch (info.param) {
        case Md5Kind::Scalar:
            return "Scalar";
        case Md5Kind::Avx2:
            return "Avx2";
        case Md5Kind::Avx512:
            return "Avx512";
    }
    return "Unknown";
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(EveryKind, Md5LanesTest,
                         ::testing::Values(Md5Kind::Scalar, Md5Kind::Avx2, Md5Kind::Avx512),
                         kindName);

// The test messages published with the algorithm, all in lanes at once.
TEST_P(Md5LanesTest, PublishedTestMessages) {
    const std::vector<QByteArray> messages = {
        "",
        "a",
        "abc",
        "message digest",
        "abcdefghijklmnopqrstuvwxyz",
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
        QByteArray("1234567890").repeated(8)};
    const QStringList expected = {
        "D41D8CD98F00B204E9800998ECF8427E", "0CC175B9C0F1B6A831C399E269772661",
        "900150983CD24FB0D6963F7D28E17F72", "F96B697D7CB7938D525A2F31AAF161D0",
        "C3FCD3D76192E4007DFB496CCA67E13B", "D174AB98D277D9F5A5611C2C9F419D9F",
        "57EDF4A22BE3C955AC49DA2E2107B67A"};
    const std::vector<QString> digests = digestThroughLanes(GetParam(), messages, 1000);
    for (std::size_t i = 0; i < messages.size(); ++i)
        EXPECT_EQ(digests[i], expected[qsizetype(i)]) << i;
}

// Every length from 0 to 300 and a few either side of each block seam up to 20 blocks,
// lanes refilled hundreds of times, in rounds of one block and of many.
TEST_P(Md5LanesTest, EveryLengthAroundTheSeamsMatchesTheReference) {
    std::mt19937 rng(11);
    std::vector<QByteArray> messages;
    for (qsizetype n = 0; n <= 300; ++n)
        messages.push_back(randomBytes(n, rng));
    for (qsizetype seam = 320; seam <= 1280; seam += 64)
        for (qsizetype n = seam - 9; n <= seam + 9; ++n)
            messages.push_back(randomBytes(n, rng));
    std::shuffle(messages.begin(), messages.end(), rng);
    for (std::size_t step : {std::size_t(1), std::size_t(3), std::size_t(1024)}) {
        const std::vector<QString> digests = digestThroughLanes(GetParam(), messages, step);
        int wrong = 0;
        for (std::size_t i = 0; i < messages.size(); ++i)
            if (digests[i] != reference(messages[i]))
                ADD_FAILURE() << "length " << messages[i].size() << " step " << step
                              << (++wrong > 5 ? " (and more)" : "");
        if (wrong > 5)
            return;
    }
}

// A message far longer than one chunk beside ones that end at once: the long lane goes on
// while the others are refilled around it.
TEST_P(Md5LanesTest, LongMessageBesideManyShortOnes) {
    std::mt19937 rng(5);
    std::vector<QByteArray> messages{randomBytes(3 * 1024 * 1024 + 17, rng)};
    for (int i = 0; i < 200; ++i)
        messages.push_back(randomBytes(qsizetype(rng() % 2000), rng));
    messages.push_back(QByteArray());
    const std::vector<QString> digests = digestThroughLanes(GetParam(), messages, 4096);
    for (std::size_t i = 0; i < messages.size(); ++i)
        EXPECT_EQ(digests[i], reference(messages[i])) << i;
}

// Files through the reading workers: an empty one and a 300 MB sparse one among pictures,
// and a missing one, each digest in its place.
TEST_P(Md5LanesTest, FilesOfVeryDifferentLengthsThroughTheWorkers) {
    TempFolder folder;
    std::mt19937 rng(9);
    QStringList paths;
    std::vector<std::optional<QString>> expected;
    const QString big = folder.file(QStringLiteral("video.mp4"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("start");
        ASSERT_TRUE(f.resize(300'000'000 - 3));
        f.seek(300'000'000 - 3);
        f.write("end");
    }
    QCryptographicHash hash(QCryptographicHash::Md5);
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        hash.addData(&f);
    }
    paths << folder.write(QStringLiteral("empty.jpg"), QByteArray());
    expected.push_back(reference(QByteArray()));
    paths << big;
    expected.push_back(QString::fromLatin1(hash.result().toHex()).toUpper());
    paths << folder.file(QStringLiteral("missing.jpg"));
    expected.push_back(std::nullopt);
    for (int i = 0; i < 60; ++i) {
        const QByteArray bytes = randomBytes(qsizetype(rng() % 300000), rng);
        paths << folder.write(QStringLiteral("p%1.jpg").arg(i), bytes);
        expected.push_back(reference(bytes));
    }
    DigestAhead ahead(paths, 2, 0, GetParam());
    for (int k = 0; k < int(paths.size()); ++k) {
        while (!ahead.waitFor(k, std::chrono::milliseconds(50))) {
        }
        EXPECT_EQ(ahead.take(k), expected[std::size_t(k)]) << k;
    }
}
