#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <QDateTime>
#include <QFile>
#include <QTimeZone>
#include <cstdlib>
#include <ctime>

namespace kadrano::test {

// The date tests compare clock times across a daylight-saving change, so they need a
// zone that has one, whatever the machine is set to.
inline void pinBerlinTime() {
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
}

// A Berlin clock reading as seconds since 1970, worked out by Qt's own zone database
// rather than by the code under test.
inline qint64 berlinSeconds(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone("Europe/Berlin"))
        .toSecsSinceEpoch();
}

// Sets a file's access and modification times on disk directly.
inline bool setDiskTimes(const QString& path, qint64 accessed, qint64 modified) {
    struct timespec t[2] = {{time_t(accessed), 0}, {time_t(modified), 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), t, 0) == 0;
}

struct DiskTimes {
    qint64 accessed = 0, modified = 0;
    bool operator==(const DiskTimes&) const = default;
};

inline DiskTimes readDiskTimes(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {-1, -1};
    return {st.st_atim.tv_sec, st.st_mtim.tv_sec};
}

}  // namespace kadrano::test
