#include "digestcache.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QVarLengthArray>
#include <QVariant>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <unordered_map>

#include "core/pathhelpers.h"
#include "md5/md5.h"

namespace kadrano {

// ------------------------------------------------------------------------- keys

namespace {

int digestHexValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

}  // namespace

std::optional<DigestBytes> digestFromText(const QString& text) {
    if (text.size() != 32)
        return std::nullopt;
    DigestBytes digest;
    for (int i = 0; i < 32; ++i) {
        const int v = digestHexValue(text.at(i).unicode());
        if (v < 0)
            return std::nullopt;
        digest[std::size_t(i / 2)] =
            std::uint8_t(i % 2 ? (digest[std::size_t(i / 2)] | v) : v << 4);
    }
    return digest;
}

QString digestText(const DigestBytes& digest) {
    // Once for every file a search takes from the cache: straight into the text.
    static constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
    QString text(32, Qt::Uninitialized);
    QChar* out = text.data();
    for (const std::uint8_t b : digest) {
        *out++ = QChar(kHexDigits[b >> 4]);
        *out++ = QChar(kHexDigits[b & 15]);
    }
    return text;
}

size_t qHash(const FileKey& key, size_t seed) {
    return qHashMulti(seed, key.volume, key.fileId);
}

quint64 pathNumber(const QString& path) {
    clsMD5 md5;
    md5.MD5Update(path.toUtf8());
    md5.MD5Final();
    const std::optional<DigestBytes> digest = digestFromText(md5.GetValues());
    return digest ? qFromLittleEndian<quint64>(digest->data()) : 0;
}

VolumeInfo FileKeys::volume(const QString& pathOnIt, quint64 device) {
    std::lock_guard lock(mutex_);
    for (const auto& [known, info] : volumes_)
        if (known == device)
            return info;
    volumes_.emplace_back(device, describeVolume(pathOnIt, device));
    return volumes_.back().second;
}

FileKey FileKeys::keyOf(const QString& path, const ContentStamp& stamp, Last* last) {
    if (!stamp.valid)
        return {};
    Last own;
    Last& known = last ? *last : own;
    if (!known.volume || known.device != stamp.device) {
        known.volume = volume(path, stamp.device);
        known.device = stamp.device;
    }
    return {known.volume->name, known.volume->stableInodes ? stamp.inode : pathNumber(path)};
}

// ------------------------------------------------------------------------- records

namespace {

// How a record's digest was made; a record of another kind never counts.
constexpr quint8 kDigestKindMd5 = 1;
// The layout of the database; a file of another layout is made anew. The number is also
// in the file's name, so that two versions of the program side by side keep a cache each.
constexpr int kCacheSchema = 1;
constexpr qint64 kCacheApplicationId = 0x4B44524E;  // "KDRN"
constexpr qint64 kCacheKeepDays = 90;

// One folder's records are one blob: a count, the records, and a check over the volume, the
// folder and the records, so that a damaged page or a record filed under another folder is
// noticed rather than trusted. A record: file number, size, modification and change time
// (nanoseconds), kind, digest, then the name's length and its UTF-8 bytes.
constexpr int kRecordSizeAt = 8;
constexpr int kRecordMtimeAt = 16;
constexpr int kRecordCtimeAt = 24;
constexpr int kRecordKindAt = 32;
constexpr int kRecordDigestAt = 33;
constexpr int kRecordNameLengthAt = 49;
constexpr int kRecordFixedBytes = 51;

// A record's fields but its name.
struct CacheRecord {
    quint64 fileId = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;
    quint8 kind = 0;
    DigestBytes digest{};
    bool operator==(const CacheRecord&) const = default;
};

// Appends a record, its name written in UTF-8 straight into the blob.
void appendRecord(QByteArray& out, const CacheRecord& r, QStringView name) {
    const qsizetype start = out.size();
    QStringEncoder toUtf8(QStringEncoder::Utf8);
    out.resize(start + kRecordFixedBytes + toUtf8.requiredSpace(name.size()));
    char* p = out.data() + start;
    qToLittleEndian<quint64>(r.fileId, p);
    qToLittleEndian<qint64>(r.size, p + kRecordSizeAt);
    qToLittleEndian<qint64>(r.mtimeNs, p + kRecordMtimeAt);
    qToLittleEndian<qint64>(r.ctimeNs, p + kRecordCtimeAt);
    p[kRecordKindAt] = char(r.kind);
    std::memcpy(p + kRecordDigestAt, r.digest.data(), r.digest.size());
    char* const nameStart = p + kRecordFixedBytes;
    const char* const nameEnd = toUtf8.appendToBuffer(nameStart, name);
    qToLittleEndian<quint16>(quint16(nameEnd - nameStart), p + kRecordNameLengthAt);
    out.resize(nameEnd - out.constData());
}

// The record at p, in a blob already checked.
CacheRecord recordAt(const char* p) {
    CacheRecord r;
    r.fileId = qFromLittleEndian<quint64>(p);
    r.size = qFromLittleEndian<qint64>(p + kRecordSizeAt);
    r.mtimeNs = qFromLittleEndian<qint64>(p + kRecordMtimeAt);
    r.ctimeNs = qFromLittleEndian<qint64>(p + kRecordCtimeAt);
    r.kind = quint8(p[kRecordKindAt]);
    std::memcpy(r.digest.data(), p + kRecordDigestAt, r.digest.size());
    return r;
}

QUtf8StringView recordNameAt(const char* p) {
    return {p + kRecordFixedBytes, qFromLittleEndian<quint16>(p + kRecordNameLengthAt)};
}

qsizetype recordBytesAt(const char* p) {
    return kRecordFixedBytes + qFromLittleEndian<quint16>(p + kRecordNameLengthAt);
}

quint64 folderCheck(const QString& volume, const QString& path, const char* data, qsizetype size) {
    clsMD5 md5;
    QByteArray head = volume.toUtf8();
    head.append('\0');
    head.append(path.toUtf8());
    head.append('\0');
    md5.MD5Update(head);
    md5.MD5Update(std::size_t(size), reinterpret_cast<const std::uint8_t*>(data));
    md5.MD5Final();
    const std::optional<DigestBytes> digest = digestFromText(md5.GetValues());
    return digest ? qFromLittleEndian<quint64>(digest->data()) : 0;
}

// The offsets of a blob's records; nothing when the blob is not whole and sound.
std::optional<std::vector<int>> recordOffsets(const QString& volume, const QString& path,
                                              const QByteArray& blob) {
    if (blob.size() < 12)
        return std::nullopt;
    const qsizetype body = blob.size() - 8;
    if (qFromLittleEndian<quint64>(blob.constData() + body) !=
        folderCheck(volume, path, blob.constData(), body))
        return std::nullopt;
    const quint32 count = qFromLittleEndian<quint32>(blob.constData());
    std::vector<int> offsets;
    offsets.reserve(std::min<quint32>(count, quint32(body / kRecordFixedBytes)));
    qsizetype at = 4;
    for (quint32 i = 0; i < count; ++i) {
        if (body - at < kRecordFixedBytes)
            return std::nullopt;
        const qsizetype next =
            at + kRecordFixedBytes +
            qFromLittleEndian<quint16>(blob.constData() + at + kRecordNameLengthAt);
        if (next > body)
            return std::nullopt;
        offsets.push_back(int(at));
        at = next;
    }
    if (at != body)
        return std::nullopt;
    return offsets;
}

// A folder's blob: the count, the records, the check.
QByteArray folderBlob(const QString& volume, const QString& path, quint32 count,
                      const QByteArray& records) {
    QByteArray blob(4, '\0');
    qToLittleEndian<quint32>(count, blob.data());
    blob.append(records);
    char check[8];
    qToLittleEndian<quint64>(folderCheck(volume, path, blob.constData(), blob.size()), check);
    blob.append(check, 8);
    return blob;
}

CacheRecord recordOf(const SearchedFile& file) {
    CacheRecord r;
    r.fileId = file.key.fileId;
    r.size = file.stamp.size;
    r.mtimeNs = file.stamp.mtimeNs;
    r.ctimeNs = file.stamp.ctimeNs;
    r.kind = kDigestKindMd5;
    r.digest = *file.digest;
    return r;
}

// ------------------------------------------------------------------------- the database

// SQLite's result codes the cache tells apart (the low byte of an extended code).
constexpr int kSqliteError = 1;  // no such table: another layout
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADatabase = 26;

bool isCacheDamageError(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    return ok && (code == kSqliteCorrupt || code == kSqliteNotADatabase || code == kSqliteError);
}

// One connection of one thread: Qt's connections belong to the thread that opened them and
// must be gone before their name is given up.
class CacheConnection {
public:
    CacheConnection(const QString& file, std::chrono::milliseconds busyTimeout) {
        static std::atomic<int> counter{0};
        name_ = QStringLiteral("kadrano-digest-cache-%1").arg(counter.fetch_add(1));
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
            return;
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        added_ = true;
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeout.count()));
        if (!db.open())
            return;
        open_ = true;
        // A cache may lose its last writes when the machine fails; what survives is
        // checked folder by folder, and a file found damaged is made anew.
        QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=OFF"));
    }
    ~CacheConnection() {
        if (!added_)
            return;
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    CacheConnection(const CacheConnection&) = delete;
    CacheConnection& operator=(const CacheConnection&) = delete;

    bool isOpen() const { return open_; }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

private:
    QString name_;
    bool added_ = false;
    bool open_ = false;
};

std::optional<qint64> cachePragma(QSqlDatabase db, const char* pragma, QSqlError* error) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA ") + QLatin1String(pragma)) || !q.next()) {
        *error = q.lastError();
        return std::nullopt;
    }
    return q.value(0).toLongLong();
}

qint64 cacheToday(const DigestCacheOptions& options) {
    return options.today > 0 ? options.today : QDateTime::currentSecsSinceEpoch() / 86400;
}

}  // namespace

// ------------------------------------------------------------------------- loading

struct DigestCache::Snapshot {
    enum class State {
        Loaded,       // the records below (none when the file is new)
        Unavailable,  // busy, unreadable or without a driver: no records this time
        Damaged,      // not a cache of this layout, or a part failed its check: made anew
    };
    struct Folder {
        QString volume;
        QString path;
        qint64 seen = 0;
        QByteArray records;
        std::vector<int> offsets;
    };
    struct Where {
        int folder = 0;
        int offset = 0;
    };
    struct IndexKey {
        int volume;
        quint64 fileId;
        bool operator==(const IndexKey&) const = default;
    };
    struct IndexHash {
        size_t operator()(const IndexKey& k) const {
            return std::hash<quint64>()(k.fileId * 0x9E3779B97F4A7C15ULL + quint64(k.volume));
        }
    };

    State state = State::Loaded;
    std::vector<Folder> folders;
    QHash<QString, int> volumeIds;
    std::unordered_map<IndexKey, Where, IndexHash> index;

    std::optional<Where> where(int volume, quint64 fileId) const {
        if (volume < 0)
            return std::nullopt;
        const auto it = index.find({volume, fileId});
        if (it == index.end())
            return std::nullopt;
        return it->second;
    }
    std::optional<Where> where(const FileKey& key) const {
        return where(volumeIds.value(key.volume, -1), key.fileId);
    }
    const char* at(const Where& w) const {
        return folders[std::size_t(w.folder)].records.constData() + w.offset;
    }
};

namespace {

using CacheSnapshot = DigestCache::Snapshot;

std::unique_ptr<CacheSnapshot> loadCacheSnapshot(const DigestCacheOptions& options) {
    auto snap = std::make_unique<CacheSnapshot>();
    // A cache not made yet is empty; opening would make it here, before there is
    // anything to keep.
    if (!QFileInfo(options.file).isFile()) {
        snap->state = QFileInfo::exists(options.file) ? CacheSnapshot::State::Unavailable
                                                      : CacheSnapshot::State::Loaded;
        return snap;
    }
    CacheConnection connection(options.file, options.busyTimeout);
    if (!connection.isOpen()) {
        snap->state = CacheSnapshot::State::Unavailable;
        return snap;
    }
    const QSqlDatabase db = connection.db();
    auto fail = [&](const QSqlError& error) {
        snap->folders.clear();
        snap->index.clear();
        snap->volumeIds.clear();
        snap->state = isCacheDamageError(error) ? CacheSnapshot::State::Damaged
                                                : CacheSnapshot::State::Unavailable;
        return std::move(snap);
    };
    QSqlError error;
    const std::optional<qint64> application = cachePragma(db, "application_id", &error);
    if (!application)
        return fail(error);
    const std::optional<qint64> schema = cachePragma(db, "user_version", &error);
    if (!schema)
        return fail(error);
    if (*application == 0 && *schema == 0) {
        // Made empty by a window that stopped before its first write, or by someone else.
        QSqlQuery tables(db);
        if (!tables.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")) || !tables.next())
            return fail(tables.lastError());
        if (tables.value(0).toInt() != 0)
            snap->state = CacheSnapshot::State::Damaged;
        return snap;
    }
    if (*application != kCacheApplicationId || *schema != kCacheSchema) {
        snap->state = CacheSnapshot::State::Damaged;
        return snap;
    }
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT volume, path, seen, records FROM folders")))
        return fail(q.lastError());
    while (q.next()) {
        CacheSnapshot::Folder folder;
        folder.volume = q.value(0).toString();
        folder.path = q.value(1).toString();
        folder.seen = q.value(2).toLongLong();
        folder.records = q.value(3).toByteArray();
        std::optional<std::vector<int>> offsets =
            recordOffsets(folder.volume, folder.path, folder.records);
        if (!offsets) {
            // One part is damaged: nothing of this file is trusted.
            snap = std::make_unique<CacheSnapshot>();
            snap->state = CacheSnapshot::State::Damaged;
            return snap;
        }
        folder.offsets = std::move(*offsets);
        const int folderIndex = int(snap->folders.size());
        int volume = snap->volumeIds.value(folder.volume, -1);
        if (volume < 0) {
            volume = int(snap->volumeIds.size());
            snap->volumeIds.insert(folder.volume, volume);
        }
        for (const int offset : folder.offsets) {
            const quint64 fileId = qFromLittleEndian<quint64>(folder.records.constData() + offset);
            snap->index[{volume, fileId}] = {folderIndex, offset};
        }
        snap->folders.push_back(std::move(folder));
    }
    if (q.lastError().isValid())
        return fail(q.lastError());
    return snap;
}

}  // namespace

QString DigestCache::defaultFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty())
        return QString();
    return folder + QStringLiteral("/digests-%1.sqlite").arg(kCacheSchema);
}

DigestCache::DigestCache(DigestCacheOptions options) : options_(std::move(options)) {
    if (options_.file.isEmpty()) {
        snapshot_ = std::make_unique<CacheSnapshot>();
        snapshot_->state = CacheSnapshot::State::Unavailable;
        return;
    }
    loading_ =
        std::async(std::launch::async, [options = options_] { return loadCacheSnapshot(options); });
}

DigestCache::~DigestCache() {
    waitSaved();
    if (loading_.valid())
        loading_.wait();
}

bool DigestCache::waitLoaded(std::chrono::milliseconds timeout) {
    if (snapshot_)
        return true;
    if (!loading_.valid() || loading_.wait_for(timeout) != std::future_status::ready)
        return false;
    snapshot_ = loading_.get();
    return true;
}

std::optional<DigestBytes> DigestCache::find(const FileKey& key, const ContentStamp& stamp) const {
    if (!snapshot_ || !stamp.valid)
        return std::nullopt;
    const std::optional<CacheSnapshot::Where> where = snapshot_->where(key);
    if (!where)
        return std::nullopt;
    // Read in place: this runs once for every file of a search.
    const char* p = snapshot_->at(*where);
    if (qFromLittleEndian<qint64>(p + kRecordSizeAt) != stamp.size ||
        qFromLittleEndian<qint64>(p + kRecordMtimeAt) != stamp.mtimeNs ||
        qFromLittleEndian<qint64>(p + kRecordCtimeAt) != stamp.ctimeNs ||
        quint8(p[kRecordKindAt]) != kDigestKindMd5)
        return std::nullopt;
    DigestBytes digest;
    std::memcpy(digest.data(), p + kRecordDigestAt, digest.size());
    return digest;
}

int DigestCache::recordCount() const {
    return snapshot_ ? int(snapshot_->index.size()) : 0;
}

// ------------------------------------------------------------------------- saving

namespace {

// What one save does to one folder's row.
struct CacheFolderChange {
    QByteArray added;  // records, one per file, as they go into the blob
    quint32 addedCount = 0;
    std::vector<quint64> replaced;  // files whose stored record goes (moved, gone, added anew)
    bool seenToday = false;
    bool drop = false;  // the folder is gone from its volume
};

using CacheFolderId = std::pair<QString, QString>;  // volume, folder path

bool folderInSearchScope(const QString& folder, const QString& scopeDir, bool withSubfolders) {
    return withSubfolders ? folder.startsWith(scopeDir) : folder == scopeDir;
}

// The volume a folder path lies on now, and whether the folder itself is there. A folder
// that is gone lies on the volume of the nearest folder above it that is there.
std::pair<QString, bool> currentVolumeOfFolder(const QString& folder, const QString& scopeDir,
                                               FileKeys& keys) {
    QString path = folder;
    bool itself = true;
    for (;;) {
        if (const std::optional<quint64> device = deviceOfPath(path))
            return {keys.volume(path, *device).name, itself};
        itself = false;
        if (path.size() <= scopeDir.size())
            return {QString(), false};
        path = AddSeparator(QFileInfo(path.chopped(1)).path());
    }
}

std::map<CacheFolderId, CacheFolderChange> planCacheChanges(const CacheSnapshot& snap,
                                                            const std::vector<SearchedFile>& files,
                                                            const QString& scopeDir,
                                                            bool withSubfolders, qint64 today,
                                                            FileKeys& keys) {
    std::map<CacheFolderId, CacheFolderChange> changes;
    // The files of this search with a digest, by key. A search meets few volumes: they
    // are numbered, and files are sorted by number, so that the further names of one
    // file (hard links) come together without a table of every file.
    struct Met {
        int volume;
        quint64 fileId;
        int index;
        bool operator<(const Met& o) const {
            return std::tie(volume, fileId, index) < std::tie(o.volume, o.fileId, o.index);
        }
    };
    std::vector<QString> volumes;
    std::vector<Met> met;
    met.reserve(files.size());
    QHash<QString, QString> volumeOfFolder;  // folders this search found files in
    const QString* lastFolder = nullptr;
    for (int i = 0; i < int(files.size()); ++i) {
        const SearchedFile& f = files[std::size_t(i)];
        if (f.key.volume.isEmpty() || !f.stamp.valid || !f.digest)
            continue;
        int volume = int(volumes.size()) - 1;
        while (volume >= 0 && volumes[std::size_t(volume)] != f.key.volume)
            --volume;
        if (volume < 0) {
            volume = int(volumes.size());
            volumes.push_back(f.key.volume);
        }
        met.push_back({volume, f.key.fileId, i});
        // The files of a folder come together.
        if (!lastFolder || *lastFolder != f.folder) {
            volumeOfFolder.insert(f.folder, f.key.volume);
            lastFolder = &f.folder;
        }
    }
    std::vector<Met> byKey = met;
    std::sort(byKey.begin(), byKey.end());
    std::vector<int> groupOf(files.size(), -1);  // where a file's key begins in byKey
    for (std::size_t g = 0; g < byKey.size(); ++g) {
        const bool sameKey = g > 0 && byKey[g - 1].volume == byKey[g].volume &&
                             byKey[g - 1].fileId == byKey[g].fileId;
        groupOf[std::size_t(byKey[g].index)] =
            sameKey ? groupOf[std::size_t(byKey[g - 1].index)] : int(g);
    }
    const auto volumeNumber = [&](const QString& volume) {
        for (std::size_t v = 0; v < volumes.size(); ++v)
            if (volumes[v] == volume)
                return int(v);
        return -1;
    };
    std::vector<int> snapVolume(volumes.size());
    for (std::size_t v = 0; v < volumes.size(); ++v)
        snapVolume[v] = snap.volumeIds.value(volumes[v], -1);

    CacheFolderChange* change = nullptr;  // the last folder's, while the files stay in it
    const QString* changeVolume = nullptr;
    const QString* changeFolder = nullptr;
    auto changeOf = [&](const QString& volume, const QString& folder) -> CacheFolderChange& {
        if (!change || *changeVolume != volume || *changeFolder != folder) {
            change = &changes[{volume, folder}];
            changeVolume = &volume;
            changeFolder = &folder;
        }
        return *change;
    };
    // In the order of the search, so that the files of one folder come together.
    for (const Met& first : met) {
        const int group = groupOf[std::size_t(first.index)];
        if (byKey[std::size_t(group)].index != first.index)
            continue;  // a further name of a file met before
        std::size_t groupEnd = std::size_t(group) + 1;
        while (groupEnd < byKey.size() && byKey[groupEnd].volume == first.volume &&
               byKey[groupEnd].fileId == first.fileId)
            ++groupEnd;
        const FileKey& key = files[std::size_t(first.index)].key;
        const std::optional<CacheSnapshot::Where> where =
            snap.where(snapVolume[std::size_t(first.volume)], first.fileId);
        const QString* storedFolder =
            where ? &snap.folders[std::size_t(where->folder)].path : nullptr;
        const char* stored = where ? snap.at(*where) : nullptr;
        const QUtf8StringView storedName = stored ? recordNameAt(stored) : QUtf8StringView();
        // The record stays under the name it has when the file still has that name, and
        // a digest read in this search wins over the cache's.
        const SearchedFile* at = &files[std::size_t(first.index)];
        const SearchedFile* fresh = nullptr;
        for (std::size_t g = std::size_t(group); g < groupEnd; ++g) {
            const SearchedFile& f = files[std::size_t(byKey[g].index)];
            if (stored && f.folder == *storedFolder && QAnyStringView::equal(f.name, storedName))
                at = &f;
            if (f.fromBytes && !fresh)
                fresh = &f;
        }
        if (!fresh && !stored)
            continue;
        const bool samePlace = stored && *storedFolder == at->folder;
        const CacheRecord wanted = fresh ? recordOf(*fresh) : recordAt(stored);
        if (samePlace && QAnyStringView::equal(at->name, storedName) && wanted == recordAt(stored))
            continue;  // the usual case: found where it was, unchanged
        CacheFolderChange& into = changeOf(key.volume, at->folder);
        appendRecord(into.added, wanted, at->name);
        ++into.addedCount;
        into.replaced.push_back(key.fileId);
        if (stored && !samePlace)
            changes[{key.volume, *storedFolder}].replaced.push_back(key.fileId);
    }

    QHash<QString, const CacheSnapshot::Folder*> storedFolders;
    for (const CacheSnapshot::Folder& folder : snap.folders)
        storedFolders.insert(folder.volume + u'\n' + folder.path, &folder);
    for (auto it = volumeOfFolder.cbegin(); it != volumeOfFolder.cend(); ++it) {
        const CacheSnapshot::Folder* known = storedFolders.value(it.value() + u'\n' + it.key());
        if (!known || known->seen < today)
            changes[{it.value(), it.key()}].seenToday = true;
    }

    // Records of the folders searched whose files this search did not meet: gone, or
    // left out by the pattern. A stopped search has not seen them all.
    for (const CacheSnapshot::Folder& folder : snap.folders) {
        if (scopeDir.isEmpty() || !folderInSearchScope(folder.path, scopeDir, withSubfolders))
            continue;
        QString volumeNow = volumeOfFolder.value(folder.path);
        bool folderThere = true;
        if (volumeNow.isEmpty())
            std::tie(volumeNow, folderThere) = currentVolumeOfFolder(folder.path, scopeDir, keys);
        // Another card in the same reader, or a volume mounted elsewhere: not ours to judge.
        if (volumeNow != folder.volume)
            continue;
        if (!folderThere) {
            changes[{folder.volume, folder.path}].drop = true;
            continue;
        }
        for (const int offset : folder.offsets) {
            const char* r = folder.records.constData() + offset;
            const quint64 fileId = qFromLittleEndian<quint64>(r);
            if (std::binary_search(
                    byKey.begin(), byKey.end(), Met{volumeNumber(folder.volume), fileId, -1},
                    [](const Met& a, const Met& b) {
                        return std::tie(a.volume, a.fileId) < std::tie(b.volume, b.fileId);
                    }))
                continue;
            const QString path = folder.path + recordNameAt(r).toString();
            const ContentStamp now = stampOfPath(path);
            if (!now.valid || keys.keyOf(path, now) != FileKey{folder.volume, fileId})
                changes[{folder.volume, folder.path}].replaced.push_back(fileId);
        }
    }
    return changes;
}

// Applies the changes in one transaction; false when nothing was written.
bool writeCacheChanges(const DigestCacheOptions& options,
                       const std::map<CacheFolderId, CacheFolderChange>& changes, qint64 today) {
    if (!QDir().mkpath(QFileInfo(options.file).path()))
        return false;
    CacheConnection connection(options.file, options.busyTimeout);
    if (!connection.isOpen())
        return false;
    QSqlDatabase db = connection.db();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    auto done = [&](bool commit) {
        QSqlQuery end(db);
        if (commit && end.exec(QStringLiteral("COMMIT")))
            return true;
        end.exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    QSqlError error;
    const std::optional<qint64> application = cachePragma(db, "application_id", &error);
    const std::optional<qint64> schema = cachePragma(db, "user_version", &error);
    if (!application || !schema)
        return done(false);
    if (*application == 0 && *schema == 0) {
        if (!q.exec(QStringLiteral("CREATE TABLE folders (volume TEXT NOT NULL, path TEXT NOT "
                                   "NULL, seen INTEGER NOT NULL, records BLOB NOT NULL, "
                                   "PRIMARY KEY (volume, path)) WITHOUT ROWID")) ||
            !q.exec(QStringLiteral("PRAGMA application_id=%1").arg(kCacheApplicationId)) ||
            !q.exec(QStringLiteral("PRAGMA user_version=%1").arg(kCacheSchema)))
            return done(false);
    } else if (*application != kCacheApplicationId || *schema != kCacheSchema) {
        return done(false);  // made by someone else since it was read: the next search sees it
    }

    QSqlQuery read(db);
    read.prepare(QStringLiteral("SELECT seen, records FROM folders WHERE volume = ? AND path = ?"));
    QSqlQuery write(db);
    write.prepare(QStringLiteral("INSERT OR REPLACE INTO folders VALUES (?, ?, ?, ?)"));
    QSqlQuery touch(db);
    touch.prepare(QStringLiteral("UPDATE folders SET seen = ? WHERE volume = ? AND path = ?"));
    QSqlQuery remove(db);
    remove.prepare(QStringLiteral("DELETE FROM folders WHERE volume = ? AND path = ?"));
    auto removeFolder = [&](const QString& volume, const QString& path) {
        remove.bindValue(0, volume);
        remove.bindValue(1, path);
        return remove.exec();
    };
    for (const auto& [id, change] : changes) {
        const auto& [volume, path] = id;
        if (change.drop) {
            if (!removeFolder(volume, path))
                return done(false);
            continue;
        }
        if (change.addedCount == 0 && change.replaced.empty()) {
            // Only seen again (the first search of a day): the records stay as they are.
            touch.bindValue(0, today);
            touch.bindValue(1, volume);
            touch.bindValue(2, path);
            if (!touch.exec())
                return done(false);
            continue;
        }
        // What is there now: another window may have written since this one read.
        read.bindValue(0, volume);
        read.bindValue(1, path);
        if (!read.exec())
            return done(false);
        qint64 seen = today;
        QByteArray records;
        quint32 count = 0;
        if (read.next()) {
            seen = read.value(0).toLongLong();
            const QByteArray blob = read.value(1).toByteArray();
            std::vector<quint64> replaced = change.replaced;
            std::sort(replaced.begin(), replaced.end());
            if (const std::optional<std::vector<int>> offsets = recordOffsets(volume, path, blob)) {
                for (const int offset : *offsets) {
                    const char* r = blob.constData() + offset;
                    if (std::binary_search(replaced.begin(), replaced.end(),
                                           qFromLittleEndian<quint64>(r)))
                        continue;
                    records.append(r, recordBytesAt(r));
                    ++count;
                }
            }
        }
        read.finish();
        records.append(change.added);
        count += change.addedCount;
        if (change.seenToday)
            seen = today;
        if (count == 0) {
            if (!removeFolder(volume, path))
                return done(false);
            continue;
        }
        write.bindValue(0, volume);
        write.bindValue(1, path);
        write.bindValue(2, seen);
        write.bindValue(3, folderBlob(volume, path, count, records));
        if (!write.exec())
            return done(false);
    }

    // Folders of volumes not seen for long: a card that was given away, a disk that died.
    QSqlQuery age(db);
    age.prepare(QStringLiteral("DELETE FROM folders WHERE seen < ?"));
    age.bindValue(0, today - kCacheKeepDays);
    if (!age.exec())
        return done(false);
    // Above the limit the folders searched longest ago go first.
    QSqlQuery sizes(db);
    sizes.setForwardOnly(true);
    if (!sizes.exec(QStringLiteral(
            "SELECT volume, path, length(records) FROM folders ORDER BY seen DESC, path")))
        return done(false);
    qint64 total = 0;
    std::vector<CacheFolderId> over;
    while (sizes.next()) {
        total += sizes.value(2).toLongLong();
        if (total > options.limitBytes)
            over.emplace_back(sizes.value(0).toString(), sizes.value(1).toString());
    }
    sizes.finish();
    for (const auto& [volume, path] : over)
        if (!removeFolder(volume, path))
            return done(false);
    return done(true);
}

void saveCacheChanges(const DigestCacheOptions& options, const CacheSnapshot& snap,
                      const std::vector<SearchedFile>& files, const QString& scopeDir,
                      bool withSubfolders, FileKeys& keys) {
    const qint64 today = cacheToday(options);
    const std::map<CacheFolderId, CacheFolderChange> changes =
        planCacheChanges(snap, files, scopeDir, withSubfolders, today, keys);
    if (changes.empty())
        return;
    if (snap.state == CacheSnapshot::State::Damaged) {
        // Nothing in it was used; a new file takes this search's digests.
        QFile::remove(options.file);
        QFile::remove(options.file + QStringLiteral("-journal"));
    }
    writeCacheChanges(options, changes, today);
}

}  // namespace

void DigestCache::save(std::vector<SearchedFile> files, const QString& scopeDir,
                       bool withSubfolders) {
    if (options_.file.isEmpty() || saving_.valid())
        return;
    saving_ = std::async(
        std::launch::async, [this, files = std::move(files), scopeDir, withSubfolders]() {
            // The records must be there first: the plan is made against them.
            if (!snapshot_)
                snapshot_ = loading_.get();
            saveCacheChanges(options_, *snapshot_, files, scopeDir, withSubfolders, keys_);
            // The records are not needed again; a kept finder need not hold them.
            snapshot_.reset();
        });
}

void DigestCache::waitSaved() {
    if (saving_.valid())
        saving_.wait();
}

}  // namespace kadrano
