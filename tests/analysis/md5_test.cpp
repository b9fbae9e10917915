#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <random>

#include "md5/md5.h"
#include "support/testfiles.h"

namespace kadrano {

// Sets the byte count as if that many bytes had already gone through, so the length
// field of a message of several gigabytes can be checked without digesting it.
class Md5TestAccess {
public:
    static void setByteCount(clsMD5& md5, std::uint64_t count) { md5.count_ = count; }
};

}  // namespace kadrano

using namespace kadrano;
using kadrano::test::TempFolder;

namespace {

QString reference(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex())
        .toUpper();
}

QByteArray randomBytes(qsizetype n, unsigned seed) {
    std::mt19937 rng(seed);
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char(rng() & 0xff);
    return b;
}

QString digestWhole(const QByteArray& bytes) {
    clsMD5 md5;
    md5.MD5Update(bytes);
    md5.MD5Final();
    return md5.GetValues();
}

// Fed in pieces whose sizes cross every block seam at a different offset.
QString digestInPieces(const QByteArray& bytes) {
    static const qsizetype sizes[] = {1, 7, 63, 64, 65, 0, 127, 4099, 3, 65536};
    clsMD5 md5;
    qsizetype pos = 0;
    for (int i = 0; pos < bytes.size(); ++i) {
        const qsizetype n = std::min(sizes[i % std::size(sizes)], bytes.size() - pos);
        md5.MD5Update(QByteArrayView(bytes).sliced(pos, n));
        pos += n;
    }
    md5.MD5Final();
    return md5.GetValues();
}

}  // namespace

// The test messages published with the algorithm.
TEST(Md5, PublishedTestMessages) {
    const std::pair<const char*, const char*> suite[] = {
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "D174AB98D277D9F5A5611C2C9F419D9F"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57EDF4A22BE3C955AC49DA2E2107B67A"},
    };
    clsMD5 reused;  // one object for all: MD5Init must leave nothing of the last message
    for (const auto& [message, digest] : suite) {
        EXPECT_EQ(reused.DigestStrToHexStr(QString::fromLatin1(message)),
                  QString::fromLatin1(digest))
            << message;
        EXPECT_EQ(digestInPieces(QByteArray(message)), QString::fromLatin1(digest)) << message;
    }
}

TEST(Md5, EveryLengthAroundTheSeamsMatchesTheReference) {
    const qsizetype lengths[] = {
        0, 1, 55, 56, 57, 63, 64, 65, 119, 120, 128, 65535, 65536, 65537, 3 * 1024 * 1024 + 17};
    TempFolder folder;
    for (qsizetype n : lengths) {
        const QByteArray bytes = randomBytes(n, unsigned(n));
        const QString expected = reference(bytes);
        EXPECT_EQ(digestWhole(bytes), expected) << n;
        EXPECT_EQ(digestInPieces(bytes), expected) << n;

        const QString path = folder.write(QStringLiteral("f%1.bin").arg(n), bytes);
        EXPECT_EQ(GetFileMD5(path), expected) << n;
        clsMD5 md5;
        EXPECT_EQ(md5.DigestFileToHexStr(path), expected) << n;
    }
}

// The length field holds the bit count in 64 bits. A 32-bit count would make a message of
// 256 MiB or more (and above 4 GiB anything) digest wrongly or not at all. The last block
// after a long message is just the tail, the padding and the length: built by hand here
// and transformed by MD5Update, it must give what MD5Final gives.
TEST(Md5, LengthFieldCountsBitsIn64Bits) {
    const std::uint64_t counts[] = {(std::uint64_t(1) << 28) + 5,  // 2 GiBit: no longer an int32
                                    (std::uint64_t(1) << 32) + 5,  // above 4 GiB
                                    (std::uint64_t(7) << 40) + 5};
    for (std::uint64_t count : counts) {
        clsMD5 viaFinal;
        Md5TestAccess::setByteCount(viaFinal, count - 5);
        viaFinal.MD5Update(QByteArrayView("hello", 5));
        viaFinal.MD5Final();

        QByteArray block(64, '\0');
        std::memcpy(block.data(), "hello", 5);
        block[5] = char(0x80);
        const std::uint64_t bits = count * 8;
        for (int i = 0; i < 8; ++i)
            block[56 + i] = char((bits >> (8 * i)) & 0xff);
        clsMD5 byHand;
        byHand.MD5Update(block);

        EXPECT_EQ(viaFinal.GetValues(), byHand.GetValues()) << count;
        EXPECT_NE(viaFinal.GetValues(), digestWhole("hello")) << count;
    }
}

// A video beyond 256 MiB as a sparse file: the whole file path with its real size.
TEST(Md5, FileOfThreeHundredMegabytes) {
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("video.mp4"));
    const qint64 size = 300'000'000;
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("start");
        ASSERT_TRUE(f.resize(size - 3));
        f.seek(size - 3);
        f.write("end");
    }
    QCryptographicHash hash(QCryptographicHash::Md5);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        while (!f.atEnd())
            hash.addData(f.read(1 << 20));
    }
    EXPECT_EQ(GetFileMD5(path), QString::fromLatin1(hash.result().toHex()).toUpper());
}

TEST(Md5, Registers) {
    clsMD5 md5;
    EXPECT_EQ(md5.RegisterA(), QStringLiteral("1732584193"));  // 0x67452301
    EXPECT_EQ(md5.RegisterB(), QStringLiteral("-271733879"));  // 0xEFCDAB89 as signed
    EXPECT_EQ(md5.RegisterC(), QStringLiteral("-1732584194"));
    EXPECT_EQ(md5.RegisterD(), QStringLiteral("271733878"));

    // After a digest the registers are the words of the digest text, whose bytes stand
    // least significant first.
    md5.DigestStrToHexStr(QStringLiteral("abc"));
    const QString text = md5.GetValues();  // 900150983CD24FB0D6963F7D28E17F72
    const QString registers[] = {md5.RegisterA(), md5.RegisterB(), md5.RegisterC(),
                                 md5.RegisterD()};
    for (int w = 0; w < 4; ++w) {
        std::uint32_t word = 0;
        for (int i = 0; i < 4; ++i)
            word |= text.mid(8 * w + 2 * i, 2).toUInt(nullptr, 16) << (8 * i);
        EXPECT_EQ(registers[w], QString::number(std::int32_t(word))) << w;
    }
    EXPECT_EQ(md5.RegisterA(), QStringLiteral("-1739587184"));  // 0x98500190
}

TEST(Md5, LongLeftRotate) {
    EXPECT_EQ(clsMD5::LongLeftRotate(0x80000001u, 1), 0x00000003u);
    EXPECT_EQ(clsMD5::LongLeftRotate(0x12345678u, 4), 0x23456781u);
    EXPECT_EQ(clsMD5::LongLeftRotate(0x12345678u, 0), 0x12345678u);
    EXPECT_EQ(clsMD5::LongLeftRotate(0x12345678u, 32), 0x12345678u);
    EXPECT_EQ(clsMD5::LongLeftRotate(0x12345678u, 36), 0x23456781u);
    EXPECT_EQ(clsMD5::LongLeftRotate(0x12345678u, -4), 0x81234567u);
    EXPECT_EQ(clsMD5::LongLeftRotate(0xFFFFFFFFu, 13), 0xFFFFFFFFu);
}

TEST(Md5, TextIsTakenAsWindows1252Bytes) {
    clsMD5 md5;
    // Latin-1 letters keep their code, the euro sign and typographic quotes have their
    // own bytes in 0x80..0x9F.
    EXPECT_EQ(md5.DigestStrToHexStr(QStringLiteral("Bär € „x“ ÿ")),
              reference(QByteArray("B\xe4r \x80 \x84x\x93 \xff")));
    EXPECT_EQ(md5.DigestStrToHexStr(QString(QChar(0x81))), reference(QByteArray("\x81")));
    // No byte for these: the digest of some other text would be worse than none.
    EXPECT_EQ(md5.DigestStrToHexStr(QStringLiteral("Łódź")), std::nullopt);
    EXPECT_EQ(md5.DigestStrToHexStr(QString(QChar(0x80))), std::nullopt);
    EXPECT_EQ(md5.DigestStrToHexStr(QStringLiteral("😀")), std::nullopt);
}

TEST(Md5, FilesThatCannotBeReadGiveNoDigest) {
    TempFolder folder;
    clsMD5 md5;
    EXPECT_EQ(GetFileMD5(folder.file(QStringLiteral("missing.jpg"))), std::nullopt);
    EXPECT_EQ(md5.DigestFileToHexStr(folder.file(QStringLiteral("missing.jpg"))), QString());
    folder.mkdir(QStringLiteral("folder.jpg"));
    EXPECT_EQ(GetFileMD5(folder.file(QStringLiteral("folder.jpg"))), std::nullopt);
    EXPECT_EQ(md5.DigestFileToHexStr(folder.file(QStringLiteral("folder.jpg"))), QString());
    EXPECT_EQ(GetFileMD5(QString()), std::nullopt);

    const QString locked = folder.write(QStringLiteral("locked.jpg"), "secret");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    QFile probe(locked);
    if (probe.open(QIODevice::ReadOnly)) {
        probe.close();  // as root every file is readable; nothing to check then
    } else {
        EXPECT_EQ(GetFileMD5(locked), std::nullopt);
    }

    const QString empty = folder.write(QStringLiteral("empty.jpg"), QByteArray());
    EXPECT_EQ(GetFileMD5(empty), QStringLiteral("D41D8CD98F00B204E9800998ECF8427E"));
}

TEST(Md5, CancelFlagGivesUpTheDigest) {
    TempFolder folder;
    const QString path = folder.write(QStringLiteral("a.jpg"), randomBytes(200000, 1));
    std::atomic<bool> cancel{false};
    EXPECT_EQ(GetFileMD5(path, &cancel), reference(folder.read(QStringLiteral("a.jpg"))));
    cancel = true;
    EXPECT_EQ(GetFileMD5(path, &cancel), std::nullopt);
}

// Two messages advanced together give exactly what each gives alone, also when one of
// them holds a partial block (it is then fed on its own).
TEST(Md5, PairedUpdateMatchesSeparateDigests) {
    const QByteArray one = randomBytes(64 * 1000 + 3, 11);
    const QByteArray two = randomBytes(64 * 700, 12);
    clsMD5 first, second;
    clsMD5::MD5UpdatePair(first, reinterpret_cast<const std::uint8_t*>(one.constData()), second,
                          reinterpret_cast<const std::uint8_t*>(two.constData()), 700);
    first.MD5Update(QByteArrayView(one).sliced(64 * 700));
    second.MD5Final();
    first.MD5Final();
    EXPECT_EQ(first.GetValues(), reference(one));
    EXPECT_EQ(second.GetValues(), reference(two));

    clsMD5 unaligned, aligned;
    unaligned.MD5Update(QByteArrayView(one).first(5));
    clsMD5::MD5UpdatePair(unaligned, reinterpret_cast<const std::uint8_t*>(one.constData()) + 5,
                          aligned, reinterpret_cast<const std::uint8_t*>(two.constData()), 2);
    unaligned.MD5Final();
    aligned.MD5Final();
    EXPECT_EQ(unaligned.GetValues(), reference(one.first(5 + 128)));
    EXPECT_EQ(aligned.GetValues(), reference(two.first(128)));
}
