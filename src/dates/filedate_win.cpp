// File times on Windows: all three stamps, the creation time included, are read and set
// through the file handle.

#include <windows.h>

#include "core/undojournal.h"
#include "filedate.h"

namespace kadrano {

namespace {

// FILETIME counts 100 ns steps since 1601-01-01 UTC.
constexpr qint64 kEpochOffsetSeconds = 11644473600LL;
constexpr qint64 kTicksPerSecond = 10000000LL;

QDateTime localFromFileTime(const FILETIME& ft) {
    const qint64 ticks = (qint64(ft.dwHighDateTime) << 32) | qint64(ft.dwLowDateTime);
    const qint64 seconds = ticks / kTicksPerSecond - kEpochOffsetSeconds;
    // QDateTime applies the zone rules of that moment, not today's offset.
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime);
}

bool fileTimeFromLocal(const QDateTime& value, FILETIME& ft) {
    if (!value.isValid())
        return false;
    QDateTime whole = value;
    const QTime t = value.time();
    whole.setTime(QTime(t.hour(), t.minute(), t.second()));
    if (!whole.isValid())
        return false;
    const qint64 ticks = (whole.toSecsSinceEpoch() + kEpochOffsetSeconds) * kTicksPerSecond;
    if (ticks < 0)
        return false;
    ft.dwLowDateTime = DWORD(ticks & 0xFFFFFFFF);
    ft.dwHighDateTime = DWORD(ticks >> 32);
    return true;
}

HANDLE openExclusive(const QString& path, DWORD access) {
    return CreateFileW(reinterpret_cast<LPCWSTR>(path.utf16()), access, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

QDateTime localDateTime(const QDate& date, const QTime& time) {
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, QTime(time.hour(), time.minute(), time.second()), Qt::LocalTime);
}

QDateTime localFromSeconds(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds).toLocalTime();
}

bool ReadFileTimes(const QString& path, FileTimes& times) {
    HANDLE h = openExclusive(path, GENERIC_READ);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FILETIME c, a, w;
    const bool ok = GetFileTime(h, &c, &a, &w) != 0;
    CloseHandle(h);
    if (!ok)
        return false;
    times.created = localFromFileTime(c);
    times.accessed = localFromFileTime(a);
    times.written = localFromFileTime(w);
    return true;
}

bool WriteFileTimes(const QString& path, const QDateTime& created, const QDateTime& accessed,
                    const QDateTime& written, bool* outOfRange) {
    if (outOfRange)
        *outOfRange = false;
    FILETIME c, a, w;
    if (!fileTimeFromLocal(created, c) || !fileTimeFromLocal(accessed, a) ||
        !fileTimeFromLocal(written, w)) {
        // A valid date before 1601 has no file time.
        if (outOfRange)
            *outOfRange = created.isValid() && accessed.isValid() && written.isValid();
        return false;
    }
    HANDLE h = openExclusive(path, GENERIC_WRITE);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = SetFileTime(h, &c, &a, &w) != 0;
    CloseHandle(h);
    return ok;
}

// Windows has no relative handle calls in its plain file API; the batch takes the paths.
struct FileTimesBatch::Folder {};

FileTimesBatch::FileTimesBatch() : folder_(std::make_unique<Folder>()) {}
FileTimesBatch::~FileTimesBatch() = default;

bool FileTimesBatch::read(const QString& dir, const QString& name, FileTimes& times) {
    return ReadFileTimes(dir + name, times);
}

bool FileTimesBatch::readEarliest(const QString& dir, const QString& name, qint64& seconds) {
    FileTimes times;
    if (!ReadFileTimes(dir + name, times))
        return false;
    seconds = times.earliest().toSecsSinceEpoch();
    return true;
}

bool FileTimesBatch::write(const QString& dir, const QString& name, const QDateTime& created,
                           const QDateTime& accessed, const QDateTime& written, bool* outOfRange) {
    if (journal_ && accessed.isValid() && written.isValid()) {
        if (const std::optional<FileStamp> before = readFileStamp(dir + name))
            journal_->timesChanging(dir + name, *before, accessed.toSecsSinceEpoch() * 1000000000LL,
                                    written.toSecsSinceEpoch() * 1000000000LL);
    }
    return WriteFileTimes(dir + name, created, accessed, written, outOfRange);
}

}  // namespace kadrano
