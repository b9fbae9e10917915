#include "setdates.h"

#include <QHash>
#include <algorithm>
#include <atomic>
#include <vector>

#include "core/pathhelpers.h"
#include "core/toolsequence.h"
#include "core/undojournal.h"
#include "datetext.h"
#include "exifdate.h"
#include "filedate.h"
#include "fileparts.h"
#include "livestatus.h"

namespace kadrano {

namespace {

// Month and day of the fixed date as two digits each, or empty texts when it cannot be
// read (a year alone then cannot be completed).
struct MonthDay {
    QString month, day;
    bool valid() const { return !month.isEmpty(); }
};

MonthDay monthDayOf(const QString& fixedDate) {
    const QDate d = parseUserDate(fixedDate);
    if (!d.isValid())
        return {};
    return {QString::number(d.month()).rightJustified(2, u'0'),
            QString::number(d.day()).rightJustified(2, u'0')};
}

// The date text of a name: its date prefix without the trailing "-", a year alone
// completed with the fixed date's month and day. Sets needsFixed for a year alone.
QString completedDate(const QString& name, const MonthDay& md, bool& needsFixed) {
    QString g = GetDatePrefix(name);
    if (g.endsWith(u'-'))
        g.chop(1);
    if (g.size() >= 1 && g.size() <= 4) {
        needsFixed = true;
        if (!md.valid())
            return g + QStringLiteral("-?");  // cannot be completed: unreadable
        return g + u'-' + md.month + u'-' + md.day;
    }
    return g;
}

// The date of a date text. Files of one folder or one day share their text, so the last
// answer is kept; the locale (whose short format tells the field order) is asked once.
class DateReader {
public:
    QDate read(const QString& text) {
        if (text != lastText_ || !haveLast_) {
            lastText_ = text;
            lastDate_ = parseUserDate(text, locale_);
            haveLast_ = true;
        }
        return lastDate_;
    }

private:
    QLocale locale_;
    QString lastText_;
    QDate lastDate_;
    bool haveLast_ = false;
};

FileDateChoice choose(const QString& fileName, const QString& folderName, const SetDatesOptions& o,
                      const MonthDay& md, DateReader& dates) {
    FileDateChoice c;
    if (o.fromFileName) {
        c.text = completedDate(StripCameraWords(StripPictureExtensions(fileName), o.tags), md,
                               c.needsFixedDate);
        if (!c.text.isEmpty())
            c.source = DateSource::FileName;
    }
    if (c.text.isEmpty() && o.fromFolderName) {
        c.needsFixedDate = false;
        c.text = completedDate(folderName, md, c.needsFixedDate);
        if (!c.text.isEmpty())
            c.source = DateSource::FolderName;
    }
    if (c.text.isEmpty() && o.fixedWhenNone) {
        c.text = o.fixedDate;
        c.needsFixedDate = true;
        if (!c.text.isEmpty())
            c.source = DateSource::FixedDate;
    }
    if (c.text.isEmpty()) {
        c.needsFixedDate = false;
        return c;
    }
    c.date = dates.read(c.text);
    return c;
}

QString statusText(const QString& timeLeft, int k, int n, Language language) {
    return timeLeftFragment(timeLeft, language == Language::English) +
           pick(language, QStringLiteral("   Setze Datum: "), QStringLiteral("   Set date: ")) +
           QString::number(k) + u'/' + QString::number(n);
}

}  // namespace

FileDateChoice chooseFileDate(const QString& fileName, const QString& folderName,
                              const SetDatesOptions& options) {
    DateReader dates;
    return choose(fileName, folderName, options, monthDayOf(options.fixedDate), dates);
}

QString containingFolderName(const QString& directory) {
    QString d = directory;
    while (d.size() > 1 && (d.endsWith(u'/') || d.endsWith(u'\\')))
        d.chop(1);
    return FileNamePart(d);
}

SetDatesPlan planSetDates(const FileList& files, const SetDatesOptions& options) {
    SetDatesPlan plan;
    const MonthDay md = monthDayOf(options.fixedDate);
    plan.fixedDateUnreadable = !md.valid();
    const int n = files.count();
    plan.dates.reserve(n);
    plan.sources.reserve(n);
    int needFixed = 0;
    // Files of one folder follow each other in the list; its name is read once.
    QString lastDir, folderName;
    DateReader dates;
    for (int k = 0; k < n; ++k) {
        const QString& dir = files.FileDirs.at(k);
        if (options.fromFolderName && dir != lastDir) {
            lastDir = dir;
            folderName = containingFolderName(dir);
        }
        const FileDateChoice c = choose(files.FileNames.at(k), folderName, options, md, dates);
        if (c.source != DateSource::None && !c.date.isValid())
            ++plan.unreadable;
        if (c.needsFixedDate)
            ++needFixed;
        plan.dates.append(c.date);
        plan.sources.append(c.source);
    }
    plan.refused = plan.fixedDateUnreadable && n > 0 && needFixed == n;
    return plan;
}

void sayDateUnreadable(ToolHost& host, const QString& text) {
    const QString example = formatShortDate(QDate(2019, 11, 11));
    ScriptTools(host).AskUser(
        QStringLiteral("Das Datum \"") + text +
            QStringLiteral("\" kann nicht gelesen werden.\rBitte ein Datum wie ") + example +
            QStringLiteral(" eingeben.\r\rEs wurde kein Datum geändert."),
        Mb::OK | Mb::IconWarning, QStringLiteral("Ungültiges Datum"),
        QStringLiteral("The date \"") + text +
            QStringLiteral("\" cannot be read.\rPlease enter a date such as ") + example +
            QStringLiteral(".\r\rNo date was changed."),
        QStringLiteral("Invalid date"));
}

void runSetDates(ToolHost& host, const SetDatesOptions& options, TimeLeft& timeLeft) {
    ScriptTools tools(host);
    if (!host.loading())
        host.saveSettings();
    if (!tools.collectFilesOrSayNone())
        return;

    const FileList& files = host.fileList();
    const SetDatesPlan plan = planSetDates(files, options);
    // A fixed date that every file would need and nobody can read stops the run before
    // anything is written. A picture with an EXIF date needs none, so with that source on
    // the pictures are read first and only those without a date of their own are left.
    if (plan.refused && !options.fromExif) {
        sayDateUnreadable(host, options.fixedDate);
        return;
    }
    const QString start = tools.GetStartTime();
    const int n = files.count();
    const Language language = host.language();

    // Noon of each date, converted once: most files share a date (a fixed date, a
    // folder's date).
    std::vector<QDateTime> noons;
    std::vector<int> noonOf(std::size_t(n), -1);
    {
        QHash<QDate, int> index;
        for (int k = 0; k < n; ++k) {
            const QDate& date = plan.dates.at(k);
            if (!date.isValid())
                continue;
            auto it = index.constFind(date);
            if (it == index.constEnd()) {
                it = index.insert(date, int(noons.size()));
                noons.push_back(localDateTime(date, QTime(12, 0, 0)));
            }
            noonOf[std::size_t(k)] = *it;
        }
    }

    // Each file costs two system calls (the read-only check and the stamps), which wait
    // on the file system, not on the processor: the list is set in parallel parts while
    // this thread keeps the window alive. The loop does not stop on ESC.
    const QStringList dirs = files.FileDirs;
    const QStringList names = files.FileNames;
    UndoJournalWriter journal = toolRunJournal(host, kSetDatesRunName);
    std::atomic<int> done{0};
    std::atomic<int> set{0};
    std::atomic<int> exifFound{0};  // pictures with an EXIF date
    std::atomic<int> exifSet{0};    // of those, the ones whose stamps were set
    std::atomic<int> unreadable{0};
    std::atomic<int> notStorable{0};
    LiveStatus live;
    auto showStatus = [&] {
        const int k = std::min(done.load(std::memory_order_relaxed), n - 1);
        host.person().setStatus(
            statusText(timeLeft.CalculateRestZeit(start, k, n), k, n, language));
        host.person().processEvents();
    };
    // The window's thread sets the first part and repaints from it; the others run beside.
    auto setPart = [&](int from, int to, bool repaint) {
        FileTimesBatch stamps;
        stamps.noteChangesIn(&journal);
        ExifDate taken;
        qint64 unused = 0;
        int mine = 0, mineExifFound = 0, mineExifSet = 0, mineUnreadable = 0, beyond = 0;
        for (int k = from; k < to; ++k) {
            const QString& dir = dirs.at(k);
            const QString& name = names.at(k);
            const int i = noonOf[std::size_t(k)];
            bool outOfRange = false;
            // The stamps are read before the EXIF block: they tell that the file is still
            // a plain file (a pipe put in its place would block the reading).
            if (options.fromExif && stamps.readEarliest(dir, name, unused) &&
                readExifDate(dir + name, taken)) {
                ++mineExifFound;
                const QDateTime when = localFromSeconds(taken.seconds);
                if (stamps.write(dir, name, when, when, when, &outOfRange)) {
                    ++mine;
                    ++mineExifSet;
                } else if (outOfRange) {
                    ++beyond;
                }
            } else if (i >= 0) {
                const QDateTime& noon = noons[std::size_t(i)];
                if (stamps.write(dir, name, noon, noon, noon, &outOfRange))
                    ++mine;
                else if (outOfRange)
                    ++beyond;
            } else if (plan.sources.at(k) != DateSource::None) {
                ++mineUnreadable;
            }
            done.fetch_add(1, std::memory_order_relaxed);
            if (repaint && live.due())
                showStatus();
        }
        set.fetch_add(mine);
        exifFound.fetch_add(mineExifFound);
        exifSet.fetch_add(mineExifSet);
        unreadable.fetch_add(mineUnreadable);
        notStorable.fetch_add(beyond);
    };
    forEachFilePart(n, setPart, [&] {
        if (live.due())
            showStatus();
    });
    if (n > 0)
        showStatus();
    journal.finish(0);
    if (plan.refused && exifFound.load() == 0) {
        // No picture had a date of its own: nothing was written.
        sayDateUnreadable(host, options.fixedDate);
        return;
    }

    QString text = QStringLiteral("Vorgang abgeschlossen\rDas Datum wurde bei ") +
                   QString::number(set.load()) + QStringLiteral(" von ") + QString::number(n) +
                   QStringLiteral(" Dateien gesetzt!");
    if (exifSet.load() > 0)
        text += u'\r' + QString::number(exifSet.load()) +
                QStringLiteral(" davon mit dem Aufnahmedatum (EXIF), auf die Sekunde genau.");
    if (unreadable.load() > 0)
        text += QStringLiteral("\r\r") + QString::number(unreadable.load()) +
                QStringLiteral(" Datei(en) mit unlesbarem Datum blieben unverändert.");
    if (notStorable.load() > 0)
        text += QStringLiteral("\r\r") + QString::number(notStorable.load()) +
                QStringLiteral(
                    " Datei(en) blieben unverändert: ihr Datum liegt außerhalb dessen, was das "
                    "Laufwerk speichern kann.");
    text += journalProblemNote(journal, language);
    tools.inform(text, Mb::OK | Mb::IconInformation, QStringLiteral("Beendet"));
    host.showUpdateLink();
    if (!host.loading())
        host.collectFiles();
}

}  // namespace kadrano
