#include "undolast.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "core/ownfiles.h"
#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "core/toolsequence.h"
#include "dates/datetext.h"
#include "shufflerecord.h"

namespace kadrano {

namespace {

// One file of a run: the name it had before the run, and the last name the run gave it.
struct UndoFile {
    FileStamp stamp;  // as it was when the run renamed it last
    FileStamp now;    // as it stands under its last name now (a file that can go back)
    QString original;
    QString current;
    int order = 0;  // its last rename in the run
    // While planning: the file that must leave this file's old name first (-1: none).
    int waitsFor = -1;
    int waitedOnBy = -1;
    bool blocked = false;
    bool done = false;
};

using FileKey = std::pair<quint64, quint64>;

FileKey keyOf(const FileStamp& s) {
    return {s.device, s.inode};
}

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(u'/') + 1);
}

// Whether the folder of a path keeps inode numbers, asked once for each folder.
class InodeFolders {
public:
    explicit InodeFolders(const InodeCheck& check) : check_(check) {}
    bool keep(const QString& path) {
        const QString dir = folderOf(path);
        auto it = known_.constFind(dir);
        if (it == known_.cend())
            it = known_.insert(dir, !check_ || check_(dir));
        return *it;
    }

private:
    const InodeCheck& check_;
    QHash<QString, bool> known_;
};

// Whether what stands under a name now is the file the run noted there, unchanged.
bool isNotedFile(const FileStamp& noted, const FileStamp& now, bool inodesKept) {
    if (inodesKept)
        return now.sameFileAs(noted);
    return now.size == noted.size && now.mtimeNs == noted.mtimeNs;
}

// A name no entry of the folder has and no step of the plan uses.
QString freeTemporaryName(const QString& dir, const QString& name, QSet<QString>& taken) {
    for (int k = 1;; ++k) {
        const QString candidate = QStringLiteral("_undo%1_").arg(k) + name;
        if (!taken.contains(dir + candidate) && !readFileStamp(dir + candidate)) {
            taken.insert(dir + candidate);
            return candidate;
        }
    }
}

// Why files were left alone, one line for each reason that applies.
QString leftAloneLines(const UndoLeftAlone& a, Language l) {
    const struct {
        int count;
        const char* german;
        const char* english;
    } reasons[] = {
        {a.gone, "seither umbenannt, verschoben oder gelöscht", "renamed, moved or deleted since"},
        {a.changed, "seither verändert (Inhalt oder Datum)", "changed since (content or date)"},
        {a.oldNameTaken, "alter Name von einer anderen Datei belegt",
         "old name taken by another file"},
        {a.failed, "nicht änderbar (schreibgeschützt?)", "could not be changed (write-protected?)"},
        {a.unsafe, "Name kann nicht in einer Bat-Datei stehen", "name cannot stand in a Bat-file"},
        {a.damaged, "Einträge des Journals beschädigt", "entries of the journal are damaged"},
    };
    QString text;
    for (const auto& r : reasons)
        if (r.count > 0)
            text += QStringLiteral("\r  ") + QString::number(r.count) + u' ' +
                    QString::fromUtf8(l == Language::English ? r.english : r.german);
    return text;
}

QString notUndoneParagraph(const UndoLeftAlone& a, Language l) {
    if (a.total() == 0)
        return QString();
    return QStringLiteral("\r\r") + QString::number(a.total()) +
           pick(l, QStringLiteral(" Datei(en) bleiben, wie sie sind:"),
                QStringLiteral(" file(s) stay as they are:")) +
           leftAloneLines(a, l);
}

// What a run did that no undo brings back.
QString beyondUndo(const JournalRun& run, Language l) {
    QStringList what;
    if (run.deletions > 0)
        what << pick(l, QStringLiteral("gelöschte Dateien kommen nicht zurück"),
                     QStringLiteral("deleted files do not come back"));
    if (run.programs > 0)
        what << pick(l, QStringLiteral("von ImageMagick neu geschriebene Bilder bleiben"),
                     QStringLiteral("pictures rewritten by ImageMagick stay as they are"));
    return what.join(QStringLiteral("; "));
}

void sayNothingToUndo(ScriptTools& tools, const QString& extraDe, const QString& extraEn) {
    tools.AskUser(QStringLiteral("In diesem Ordner gibt es nichts rückgängig zu machen.") + extraDe,
                  Mb::OK | Mb::IconInformation, QStringLiteral("Rückgängig"),
                  QStringLiteral("There is nothing to undo in this folder.") + extraEn,
                  QStringLiteral("Undo"));
}

void undoDates(ToolHost& host, const QString& journalPath, const JournalRun& run) {
    ScriptTools tools(host);
    const Language l = host.language();
    const QString what = runDescription(run, l);
    if (!host.noQuestions()) {
        const int answer = tools.AskUser(
            QStringLiteral("Letzte Aktion rückgängig machen?\r\r") + what +
                QStringLiteral("\r\rDas alte Datum der Dateien wird wiederhergestellt."),
            Mb::YesNoQuestion, QStringLiteral("Rückgängig"),
            QStringLiteral("Undo the last action?\r\r") + what +
                QStringLiteral("\r\rThe files get their old dates back."),
            QStringLiteral("Undo"));
        if (answer == Mb::ResultNo)
            return;
    }
    const DateUndoResult r = restoreDates(run);
    // A file left alone now stays so: a second click goes on to the run before.
    noteUndone(journalPath, run.id);
    const QString count = QString::number(r.restored) + QStringLiteral(" / ") +
                          QString::number(int(run.times.size()));
    QString de = QStringLiteral("Vorgang abgeschlossen\rDas alte Datum wurde bei ") + count +
                 QStringLiteral(" Dateien wiederhergestellt.");
    QString en =
        QStringLiteral("Done\rThe old date was put back on ") + count + QStringLiteral(" files.");
    if (r.alreadyBack > 0) {
        de += QStringLiteral("\r") + QString::number(r.alreadyBack) +
              QStringLiteral(" Datei(en) hatten ihr altes Datum schon.");
        en += QStringLiteral("\r") + QString::number(r.alreadyBack) +
              QStringLiteral(" file(s) had their old date already.");
    }
    de += notUndoneParagraph(r.leftAlone, Language::German);
    en += notUndoneParagraph(r.leftAlone, Language::English);
    tools.AskUser(de, Mb::OK | (r.leftAlone.total() > 0 ? Mb::IconWarning : Mb::IconInformation),
                  QStringLiteral("Rückgängig"), en, QStringLiteral("Undo"));
    host.showUpdateLink();
    if (!host.loading())
        host.collectFiles();
}

Question undoQuestion(const QString& script, const QString& what, const RenameUndoPlan& plan) {
    Question q = renameQuestion(script);
    q.textDe = QStringLiteral("Letzte Aktion rückgängig machen?\r\r") + what +
               QStringLiteral("\r\r") + QString::number(plan.files) +
               QStringLiteral(" Datei(en) erhalten ihren alten Namen zurück.") +
               notUndoneParagraph(plan.leftAlone, Language::German) + QStringLiteral("\r\r") +
               q.textDe;
    q.textEn = QStringLiteral("Undo the last action?\r\r") + what + QStringLiteral("\r\r") +
               QString::number(plan.files) + QStringLiteral(" file(s) get their old names back.") +
               notUndoneParagraph(plan.leftAlone, Language::English) + QStringLiteral("\r\r") +
               q.textEn;
    q.titleDe = QStringLiteral("Rückgängig");
    q.titleEn = QStringLiteral("Undo");
    return q;
}

// The shuffle notes the names it gave in each folder; after an undo those notes must say
// again which names in the folder are shuffled ones.
void updateShuffleRecords(const JournalRun& run, const RenameUndoPlan& plan) {
    if (run.name.compare(QLatin1String(kShuffleScriptName), Qt::CaseInsensitive) == 0) {
        forgetFinishedRecords(plan.dirs);
        return;
    }
    if (run.name.compare(QLatin1String(kRestoreScriptName), Qt::CaseInsensitive) != 0)
        return;
    // The shuffled names are back where the undo ran.
    FileList back;
    std::vector<std::pair<int, QString>> given;
    for (qsizetype i = 0; i < plan.dirs.size(); ++i) {
        if (!readFileStamp(plan.dirs.at(i) + plan.oldNames.at(i)))
            continue;
        given.emplace_back(back.count(), plan.oldNames.at(i));
        back.append(plan.oldNames.at(i), plan.dirs.at(i));
    }
    if (!given.empty())
        recordGivenNames(back, given);
}

void undoRenames(ToolHost& host, const QString& journalPath, const JournalRun& run) {
    ScriptTools tools(host);
    const Language l = host.language();
    const QString what = runDescription(run, l);
    const RenameUndoPlan plan = planRenameUndo(run, host.pauseAtEnd());
    if (plan.steps.empty()) {
        // Nothing of the run can go back now: the box says why, and the next click goes on
        // to the run before.
        noteUndone(journalPath, run.id);
        const QString tail = QStringLiteral("\r\r") + what;
        sayNothingToUndo(tools,
                         tail + QStringLiteral("\r\rKeine Datei kann zurückbenannt werden.") +
                             notUndoneParagraph(plan.leftAlone, Language::German),
                         tail + QStringLiteral("\r\rNo file can be renamed back.") +
                             notUndoneParagraph(plan.leftAlone, Language::English));
        return;
    }
    const QString script = host.directoryText() + QLatin1String(kUndoScriptName);
    if (!tools.writeScript(script, plan.lines))
        return;
    // The next finished run of the undo script marks this run as undone, unless files wait
    // for their old names to come free.
    noteUndoPlanned(journalPath, run.id, plan.leftAlone.oldNameTaken == 0);
    tools.RunScript(script, undoQuestion(script, what, plan), std::nullopt);
    updateShuffleRecords(run, plan);
    // Without questions nobody has read how many files stay as they are.
    if (host.noQuestions() && plan.leftAlone.total() > 0)
        tools.AskUser(what + notUndoneParagraph(plan.leftAlone, Language::German),
                      Mb::OK | Mb::IconWarning, QStringLiteral("Rückgängig"),
                      what + notUndoneParagraph(plan.leftAlone, Language::English),
                      QStringLiteral("Undo"));
}

}  // namespace

QString runDescription(const JournalRun& run, Language language) {
    const bool en = language == Language::English;
    QString text = runDisplayName(run.name, language) + QStringLiteral(", ") +
                   QString::number(run.fileCount()) +
                   (en ? QStringLiteral(" files") : QStringLiteral(" Dateien"));
    if (run.started.isValid()) {
        const QDateTime local = run.started.toLocalTime();
        text += QStringLiteral(", ") + formatShortDate(local.date()) + u' ' +
                local.time().toString(QStringLiteral("HH:mm"));
    }
    if (!run.finished)
        text += en ? QStringLiteral(" (stopped)") : QStringLiteral(" (abgebrochen)");
    return text;
}

RenameUndoPlan planRenameUndo(const JournalRun& run, bool pauseAtEnd,
                              const InodeCheck& keepsInodes) {
    RenameUndoPlan plan;
    InodeFolders folders(keepsInodes);
    plan.leftAlone.damaged = run.damaged;

    // The files of the run, each from its first old name to its last new one.
    std::vector<UndoFile> files;
    QHash<FileKey, int> byKey;
    for (int i = 0; i < int(run.renames.size()); ++i) {
        const JournalRename& r = run.renames[std::size_t(i)];
        if (r.failed)
            continue;
        const auto it = byKey.constFind(keyOf(r.stamp));
        if (it != byKey.cend() && files[std::size_t(*it)].current == r.from) {
            UndoFile& f = files[std::size_t(*it)];
            f.current = r.to;
            f.stamp = r.stamp;
            f.order = i;
            continue;
        }
        byKey.insert(keyOf(r.stamp), int(files.size()));
        files.push_back(UndoFile{r.stamp, FileStamp(), r.from, r.to, i});
    }

    // Which of them can go back, as the folder stands now.
    std::vector<int> movers;
    QHash<FileKey, int> moverByKey;
    for (int i = 0; i < int(files.size()); ++i) {
        UndoFile& f = files[std::size_t(i)];
        if (f.current == f.original)
            continue;  // renamed and renamed back within the run
        const bool inodesKept = folders.keep(f.current);
        const std::optional<FileStamp> now = readFileStamp(f.current);
        if (!now || !isNotedFile(f.stamp, *now, inodesKept)) {
            const std::optional<FileStamp> atOld = readFileStamp(f.original);
            if (atOld && isNotedFile(f.stamp, *atOld, inodesKept))
                ++plan.alreadyBack;
            else
                ++plan.leftAlone.gone;
            continue;
        }
        if (inodesKept && !now->unchangedSince(f.stamp)) {
            ++plan.leftAlone.changed;
            continue;
        }
        f.now = *now;
        // ren renames within a folder only; a name that cannot stand in a line stays.
        if (folderOf(f.current) != folderOf(f.original) || !canStandInScript(f.current) ||
            !canStandInScript(FileNamePart(f.original))) {
            ++plan.leftAlone.unsafe;
            continue;
        }
        moverByKey.insert(keyOf(f.now), int(movers.size()));
        movers.push_back(i);
    }

    // Whose old name is free, and who has to wait for another file to leave it.
    QSet<QString> targets;
    QSet<QString> taken;  // names the plan uses
    for (const int i : movers) {
        UndoFile& f = files[std::size_t(i)];
        taken.insert(f.current);
        taken.insert(f.original);
        if (targets.contains(f.original)) {
            f.blocked = true;
            continue;
        }
        targets.insert(f.original);
        const std::optional<FileStamp> there = readFileStamp(f.original);
        if (!there || there->sameFileAs(f.now))
            continue;  // free, or the same file under another case of its name
        const auto holder = moverByKey.constFind(keyOf(*there));
        if (holder == moverByKey.cend()) {
            f.blocked = true;  // a file that stays
            continue;
        }
        const int h = movers[std::size_t(*holder)];
        if (files[std::size_t(h)].waitedOnBy >= 0) {
            f.blocked = true;  // two old names that are one entry (a name in another case)
            continue;
        }
        f.waitsFor = h;
        files[std::size_t(h)].waitedOnBy = i;
    }
    // A file waiting for one that cannot leave cannot move either.
    for (bool again = true; again;) {
        again = false;
        for (const int i : movers) {
            UndoFile& f = files[std::size_t(i)];
            if (!f.blocked && f.waitsFor >= 0 && files[std::size_t(f.waitsFor)].blocked) {
                f.blocked = true;
                again = true;
            }
        }
    }

    // The chains and cycles, the newest first. A chain starts with the file whose old name
    // is free; a cycle with its newest file, which steps aside to a temporary name.
    std::vector<int> starts;
    for (const int i : movers) {
        const UndoFile& f = files[std::size_t(i)];
        if (f.blocked) {
            ++plan.leftAlone.oldNameTaken;
            continue;
        }
        if (f.waitsFor < 0)
            starts.push_back(i);
    }
    auto groupOrder = [&files](int start) {
        int newest = -1;
        for (int i = start; i >= 0; i = files[std::size_t(i)].waitedOnBy)
            newest = std::max(newest, files[std::size_t(i)].order);
        return newest;
    };
    std::vector<std::pair<int, int>> groups;  // (newest order, first file)
    for (const int s : starts)
        groups.emplace_back(groupOrder(s), s);
    QSet<int> inChain;
    for (const auto& g : groups)
        for (int i = g.second; i >= 0; i = files[std::size_t(i)].waitedOnBy)
            inChain.insert(i);
    for (const int i : movers) {
        if (files[std::size_t(i)].blocked || inChain.contains(i))
            continue;
        // A cycle: its newest member leads.
        int lead = i;
        int newest = files[std::size_t(i)].order;
        inChain.insert(i);
        for (int k = files[std::size_t(i)].waitsFor; k != i; k = files[std::size_t(k)].waitsFor) {
            inChain.insert(k);
            if (files[std::size_t(k)].order > newest) {
                newest = files[std::size_t(k)].order;
                lead = k;
            }
        }
        groups.emplace_back(-newest - 1, lead);  // marked as a cycle by a negative order
    }
    std::sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) {
        const int ao = a.first < 0 ? -a.first - 1 : a.first;
        const int bo = b.first < 0 ? -b.first - 1 : b.first;
        return ao > bo;
    });

    auto step = [&plan](const QString& from, const QString& newName) {
        plan.steps.push_back(UndoRename{from, newName});
    };
    for (const auto& [order, first] : groups) {
        const bool cycle = order < 0;
        UndoFile& lead = files[std::size_t(first)];
        QString leadFrom = lead.current;
        if (cycle) {
            const QString dir = folderOf(lead.current);
            const QString temp = freeTemporaryName(dir, FileNamePart(lead.original), taken);
            step(lead.current, temp);
            leadFrom = dir + temp;
        }
        if (!cycle)
            step(leadFrom, FileNamePart(lead.original));
        lead.done = true;
        for (int i = lead.waitedOnBy; i >= 0 && i != first; i = files[std::size_t(i)].waitedOnBy) {
            UndoFile& f = files[std::size_t(i)];
            step(f.current, FileNamePart(f.original));
            f.done = true;
        }
        if (cycle)
            step(leadFrom, FileNamePart(lead.original));
    }
    for (const int i : movers) {
        const UndoFile& f = files[std::size_t(i)];
        if (!f.done)
            continue;
        ++plan.files;
        plan.dirs.append(folderOf(f.original));
        plan.oldNames.append(FileNamePart(f.original));
    }

    if (plan.steps.empty())
        return plan;
    ScriptBuilder script;
    const int count = int(plan.steps.size());
    for (int i = 0; i < count; ++i) {
        const UndoRename& s = plan.steps[std::size_t(i)];
        script.addProgress(i, count);
        script.add(QStringLiteral("ren ") + scriptArg(s.from) + u' ' + scriptArg(s.newName));
    }
    script.finish(pauseAtEnd);
    plan.lines = script.lines();
    return plan;
}

DateUndoResult restoreDates(const JournalRun& run, const InodeCheck& keepsInodes) {
    DateUndoResult r;
    r.leftAlone.damaged = run.damaged;
    InodeFolders folders(keepsInodes);
    for (auto it = run.times.rbegin(); it != run.times.rend(); ++it) {
        const JournalTimes& t = *it;
        const bool inodesKept = folders.keep(t.path);
        const std::optional<FileStamp> now = readFileStamp(t.path);
        // FAT keeps modification times in steps of two seconds.
        const qint64 step = inodesKept ? 1 : 2'000'000'000LL;
        if (!now || (inodesKept && !now->sameFileAs(t.before))) {
            ++r.leftAlone.gone;
        } else if (now->size != t.before.size) {
            ++r.leftAlone.changed;
        } else if (now->mtimeNs == t.before.mtimeNs) {
            ++r.alreadyBack;  // the run never got to it, or it was put back already
        } else if (std::llabs(now->mtimeNs - t.newMtimeNs) >= step) {
            ++r.leftAlone.changed;
        } else if (setFileStampTimes(t.path, t.before.atimeNs, t.before.mtimeNs)) {
            ++r.restored;
        } else {
            ++r.leftAlone.failed;
        }
    }
    return r;
}

UndoButtonState undoButtonFor(const QString& undoFolder, const QString& pictureFolder,
                              Language language) {
    UndoButtonState state;
    const QString path = undoJournalPath(undoFolder, pictureFolder);
    if (path.isEmpty())
        return state;
    const UndoJournal journal = UndoJournal::read(path);
    const JournalRun* next = journal.nextToUndo();
    const JournalRun* newest = journal.newestNotUndone();
    QStringList lines;
    if (newest && newest != next && !newest->canBeUndone()) {
        QString why = beyondUndo(*newest, language);
        if (why.isEmpty())
            why = pick(language, QStringLiteral("nichts umbenannt"),
                       QStringLiteral("nothing renamed"));
        QString when;
        if (newest->started.isValid()) {
            const QDateTime local = newest->started.toLocalTime();
            when = u' ' + formatShortDate(local.date()) + u' ' +
                   local.time().toString(QStringLiteral("HH:mm"));
        }
        lines << runDisplayName(newest->name, language) + when +
                     pick(language, QStringLiteral(": kann nicht rückgängig gemacht werden ("),
                          QStringLiteral(": cannot be undone (")) +
                     why + u')';
    }
    if (next) {
        state.enabled = true;
        lines << pick(language, QStringLiteral("Rückgängig: "), QStringLiteral("Undo: ")) +
                     runDescription(*next, language);
        const QString why = beyondUndo(*next, language);
        if (!why.isEmpty())
            lines << u'(' + why + u')';
        if (next->damaged > 0)
            lines << pick(language, QStringLiteral("(Journal teilweise beschädigt: "),
                          QStringLiteral("(journal partly damaged: ")) +
                         QString::number(next->damaged) +
                         pick(language, QStringLiteral(" Einträge unlesbar)"),
                              QStringLiteral(" entries unreadable)"));
    } else if (journal.unreadable() || journal.damagedRecords() > 0) {
        lines << pick(language,
                      QStringLiteral("Das Journal dieses Ordners ist beschädigt; es gibt nichts, "
                                     "was sicher rückgängig gemacht werden kann."),
                      QStringLiteral("The journal of this folder is damaged; there is nothing that "
                                     "can be undone safely."));
    } else {
        lines << pick(language, QStringLiteral("Nichts rückgängig zu machen"),
                      QStringLiteral("Nothing to undo"));
    }
    state.toolTip = lines.join(u'\n');
    return state;
}

void runUndoLast(ToolHost& host) {
    ScriptTools tools(host);
    if (!host.loading())
        host.saveSettings();
    tools.normaliseDirectoryText();
    const QString journalPath = undoJournalPath(host.undoJournalFolder(), host.directoryText());
    const UndoJournal journal = UndoJournal::read(journalPath);
    const JournalRun* run = journal.nextToUndo();
    if (!run) {
        sayNothingToUndo(tools, QString(), QString());
        return;
    }
    if (!run->times.empty())
        undoDates(host, journalPath, *run);
    else
        undoRenames(host, journalPath, *run);
}

}  // namespace kadrano
