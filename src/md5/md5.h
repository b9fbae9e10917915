#pragma once

#include <QByteArrayView>
#include <QString>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace kadrano {

// The MD5 message digest, one message at a time; MD5Init starts the next.
//
// The byte count is 64 bits wide, as the length field of the padding is: a video of a few
// hundred megabytes or a disk image of several gigabytes digests like any small picture.
class clsMD5 {
public:
    clsMD5() { MD5Init(); }

    void MD5Init();
    // Continues a message whose first count bytes (whole blocks) were digested elsewhere,
    // leaving the four words in state (the multi-lane digest hands a message over this way).
    void MD5Resume(const std::uint32_t state[4], std::uint64_t count);
    // Appends length bytes to the message. Whole 64-byte blocks are transformed straight
    // from the caller's memory; only a tail shorter than a block is copied.
    void MD5Update(std::size_t length, const std::uint8_t* bytes);
    void MD5Update(QByteArrayView bytes) {
        MD5Update(std::size_t(bytes.size()), reinterpret_cast<const std::uint8_t*>(bytes.data()));
    }
    // Appends blocks whole 64-byte blocks to each of two messages at once, in much less
    // time than two MD5Update calls take (one core digests two files side by side).
    static void MD5UpdatePair(clsMD5& first, const std::uint8_t* bytes1, clsMD5& second,
                              const std::uint8_t* bytes2, std::size_t blocks);
    // Pads the message and transforms the last block or blocks. Only MD5Init may follow.
    void MD5Final();

    // 32 upper-case hex digits: the words A, B, C, D, each least significant byte first.
    QString GetValues() const;

    // The digest of a text whose characters are taken as single bytes of the Windows
    // code page 1252, so that a name has the checksum a Windows system with that code page
    // gives it. A character outside that code page has no byte: the result is empty
    // then, and the state is left as MD5Init made it.
    std::optional<QString> DigestStrToHexStr(const QString& text);

    // The digest of a whole file's bytes, or the empty text when it cannot be read.
    QString DigestFileToHexStr(const QString& path);

    // A state word as the decimal text of the word read as a signed 32-bit number.
    QString RegisterA() const { return registerText(0); }
    QString RegisterB() const { return registerText(1); }
    QString RegisterC() const { return registerText(2); }
    QString RegisterD() const { return registerText(3); }

    // value rotated left by (bits mod 32) positions.
    static std::uint32_t LongLeftRotate(std::uint32_t value, int bits);

    // Bytes passed in since MD5Init (modulo 2^64), the padding of MD5Final included.
    std::uint64_t byteCount() const { return count_; }

private:
    friend class Md5TestAccess;  // lets the tests fake a count of several gigabytes

    QString registerText(int i) const;

    std::uint32_t state_[4];
    std::uint64_t count_ = 0;
    std::uint8_t buffer_[64];
};

// The size of the pieces a file is read in; one piece per digest is in memory at a time.
inline constexpr std::size_t kMd5ChunkSize = 65536;

// The digest text of a file's bytes, or nothing when the file cannot be opened or read,
// or when *cancel turns true (checked between chunks, so a digest of a large file can be
// given up at once).
std::optional<QString> GetFileMD5(const QString& path, const std::atomic<bool>* cancel = nullptr);

}  // namespace kadrano
