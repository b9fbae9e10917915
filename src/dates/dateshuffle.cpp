#include "dateshuffle.h"

#include "core/toolsequence.h"
#include "core/undojournal.h"
#include "datetext.h"
#include "filedate.h"
#include "livestatus.h"
#include "setdates.h"

namespace kadrano {

void RunDateShuffle(ToolHost& host, const DateShuffleOptions& options, RestZeit& restZeit,
                    RandomSource& random) {
    const QString& dateText = options.date;
    ScriptTools tools(host);
    if (!tools.CollectFilesOrSayNone())
        return;
    const QDate date = ParseUserDate(dateText);
    if (!date.isValid()) {
        // Every file would need this date; none may get another.
        SayDateUnreadable(host, dateText);
        return;
    }

    const QString start = tools.GetStartTime();
    const FileList& files = host.fileList();
    const int n = files.count();
    int set = 0;
    FileTimes times;
    QString status;
    LiveStatus live;
    UndoJournalWriter journal = ToolRunJournal(host, kDateShuffleRunName);
    FileTimesBatch stamps;
    stamps.noteChangesIn(&journal);
    for (int k = 0; k < n; ++k) {
        const QString& dir = files.FileDirs.at(k);
        const QString& name = files.FileNames.at(k);
        // A file that cannot even be read is skipped before it takes numbers from the
        // generator, so the draws of the other files stay as they were.
        if (stamps.read(dir, name, times)) {
            const int h = random.RandomInt(0, 23);
            const int mi = random.RandomInt(0, 59);
            const int s = random.RandomInt(0, 59);
            const QDateTime t = LocalDateTime(date, QTime(h, mi, s));
            if (stamps.write(dir, name, t, t, t))
                ++set;
        }
        // The loop does not stop on ESC, but the window must not look frozen. The estimate
        // is asked for when it is shown (reading the clock for every file costs).
        if (live.due(k + 1 == n)) {
            const QString rest = restZeit.CalculateRestZeit(start, k, n);
            host.person().setStatus(RestZeitFragment(rest, false) +
                                    QStringLiteral("   Setze Datum: ") + QString::number(k) + u'/' +
                                    QString::number(n));
            host.person().processEvents();
        }
    }

    journal.finish(0);

    tools.Inform(QStringLiteral("Vorgang abgeschlossen\rDas Datum wurde bei ") +
                     QString::number(set) + u'/' + QString::number(n) +
                     QStringLiteral(" Dateien gesetzt!") +
                     JournalProblemNote(journal, host.language()),
                 Mb::OK | Mb::IconInformation, QStringLiteral("Beendet"));
    host.showUpdateLink();
    if (!host.loading())
        host.collectFiles();
}

}  // namespace kadrano
