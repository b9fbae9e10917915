#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>
#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "md5/filestamp.h"

namespace kadrano {

// The sixteen bytes of an MD5 digest.
using DigestBytes = std::array<std::uint8_t, 16>;

// A digest text (32 hex digits) as bytes, nothing for any other text; and back (upper case).
std::optional<DigestBytes> digestFromText(const QString& text);
QString digestText(const DigestBytes& digest);

// A file as the cache knows it: its volume and its number there.
struct FileKey {
    QString volume;
    quint64 fileId = 0;
    bool operator==(const FileKey& other) const = default;
};
size_t qHash(const FileKey& key, size_t seed = 0);

// The number of a file that is known by its path (where inode numbers do not last).
quint64 pathNumber(const QString& path);

// Names the volumes of the files one search meets and numbers the files on them, asking the
// system once per volume. Safe to use from several threads at once.
class FileKeys {
public:
    // The volume a caller met last: a thread that keeps one asks nobody while the files
    // stay on one volume.
    struct Last {
        quint64 device = 0;
        std::optional<VolumeInfo> volume;
    };
    // The key of the file at path, whose stamp is given; an empty volume when the stamp is
    // not valid.
    FileKey keyOf(const QString& path, const ContentStamp& stamp, Last* last = nullptr);
    // The name of the volume a path on the given device lies on.
    VolumeInfo volume(const QString& pathOnIt, quint64 device);

private:
    std::mutex mutex_;
    std::vector<std::pair<quint64, VolumeInfo>> volumes_;
};

struct DigestCacheOptions {
    // The database; empty: searches go without a cache.
    QString file;
    // How long a search waits for another window's write before it goes on without.
    std::chrono::milliseconds busyTimeout{1500};
    // The records kept at most; the folders searched longest ago go first. At about 70
    // bytes a file, 32 MiB hold some 450,000 pictures.
    qint64 limitBytes = qint64(32) << 20;
    // The day a search counts as (days since 1970); 0: today.
    qint64 today = 0;
};

// One file of a search, as it goes to the cache when the search is done.
struct SearchedFile {
    FileKey key;
    ContentStamp stamp;                 // as digested, or as found matching the cache's record
    std::optional<DigestBytes> digest;  // none: the file could not be read
    bool fromBytes = false;             // digested in this search, not taken from the cache
    QString folder;                     // where the search found it (ending in a separator)
    QString name;                       // and by what name
};

// Digests of earlier searches, kept in the user's cache folder so that a search of the same
// pictures need not read them all again. A digest counts only while the file's volume,
// number, size, modification time and change time are all as they were when it was made.
//
// Every failure of the cache (a second window writing, a full disk, a damaged, locked or
// foreign file, a folder that cannot be made) leaves a search without it, or with a new
// one; no failure is ever the person's business, and none changes a search's answer.
//
// Loading starts at once on a thread of its own; saving runs on one too, and the object
// waits for it when it goes.
class DigestCache {
public:
    // The cache in the user's cache folder.
    static QString defaultFile();

    explicit DigestCache(DigestCacheOptions options);
    ~DigestCache();
    DigestCache(const DigestCache&) = delete;
    DigestCache& operator=(const DigestCache&) = delete;

    // Waits up to timeout for the records; true once they are there (or known to be none).
    // Until then nothing is found.
    bool waitLoaded(std::chrono::milliseconds timeout);

    // After loading: the digest recorded for the file, when the record matches its stamp
    // in every field. Safe from several threads at once.
    std::optional<DigestBytes> find(const FileKey& key, const ContentStamp& stamp) const;
    // After loading: how many files the cache holds.
    int recordCount() const;
    // The keys of the files, as the cache files them.
    FileKeys& keys() { return keys_; }

    // Records what the search found, in one transaction on a thread of its own: digests
    // made from bytes, files moved to other names, folders seen. Records of files that are
    // gone from the folders searched (scopeDir, with or without its sub-folders) are
    // dropped, but only where the volume they were on is the one there now: a card that
    // is not plugged in keeps its digests. Folders not searched for 90 days go, and the
    // oldest go while the cache is above its limit. Only one save per object.
    void save(std::vector<SearchedFile> files, const QString& scopeDir, bool withSubfolders);
    // Waits until the save is done.
    void waitSaved();

    struct Snapshot;

private:
    DigestCacheOptions options_;
    FileKeys keys_;
    std::future<std::unique_ptr<Snapshot>> loading_;
    std::unique_ptr<Snapshot> snapshot_;
    std::future<void> saving_;
};

}  // namespace kadrano
