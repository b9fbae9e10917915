#pragma once

#include <QStandardPaths>
#include <QString>

namespace kadrano::bench {

// Where a benchmark keeps the data it makes: $KADRANO_BENCH_DATA, else kadrano-bench in the
// user's cache folder ($XDG_CACHE_HOME) — the folder bench/common.sh uses, so the programs
// started by hand find what the scripts made.
inline QString benchDataDir(const QString& sub) {
    QString base = qEnvironmentVariable("KADRANO_BENCH_DATA");
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
               QStringLiteral("/kadrano-bench");
    return sub.isEmpty() ? base : base + u'/' + sub;
}

}  // namespace kadrano::bench
