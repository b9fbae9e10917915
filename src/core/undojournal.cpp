#include "undojournal.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <atomic>

#include "ownfiles.h"
#include "toolhost.h"

namespace kadrano {

namespace {

// The tools whose scripts are noted, and how the window names their runs.
struct JournalRunName {
    const char* run;
    const char* german;
    const char* english;
};

constexpr JournalRunName kJournalRunNames[] = {
    {kShuffleScriptName, "Bilder Mischen", "Shuffle Pictures"},
    {kRestoreScriptName, "Mischen wiederherstellen", "Restore Shuffled Names"},
    {kCustomRenameScriptName, "Dateinamen ändern", "Rename Files"},
    {kCameraNumbersScriptName, "Kamera-Nummern", "Camera Numbers"},
    {kAddDateScriptName, "Datum -> Dateinamen", "Date -> File Names"},
    {kOrientationTagScriptName, "Bildausrichtung", "Picture Orientation"},
    {kOrientationRemoveScriptName, "Bildausrichtung entfernen", "Remove Orientation Tags"},
    {kDuplicatesScriptFileName, "Doppelte Fotos", "Detect Doubles"},
    {kResizeScriptName, "Bildgröße & Format ändern", "Resize Pictures & Change Format"},
    {kTextScriptName, "Text in Bild einfügen", "Add Text Into Picture"},
    {kExifRotateScriptName, "EXIF-Ausrichtung", "EXIF Rotation"},
    {kUndoScriptName, "Rückgängig", "Undo"},
    {kSetDatesRunName, "Datum ändern", "Change Date"},
    {kDateShuffleRunName, "Datum mischen", "Shuffle Dates"},
};

const JournalRunName* findRunName(const QString& run) {
    for (const JournalRunName& n : kJournalRunNames)
        if (run.compare(QLatin1String(n.run), Qt::CaseInsensitive) == 0)
            return &n;
    return nullptr;
}

// CRC-32 (the polynomial of zip and PNG).
std::array<quint32, 256> makeCrcTable() {
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

quint32 journalCrc(QByteArrayView bytes) {
    static const std::array<quint32, 256> table = makeCrcTable();
    quint32 c = 0xFFFFFFFFu;
    for (const char ch : bytes)
        c = table[(c ^ quint8(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// A text field: its UTF-8 bytes with "%", tabs, line breaks and other control bytes written
// as %XX, so that no name can break a record apart.
void appendField(QByteArray& record, QByteArrayView bytes) {
    static const char hex[] = "0123456789ABCDEF";
    record += '\t';
    for (const char ch : bytes) {
        const quint8 b = quint8(ch);
        if (b < 0x20 || b == 0x7F || b == '%') {
            record += '%';
            record += hex[b >> 4];
            record += hex[b & 0x0F];
        } else {
            record += ch;
        }
    }
}

void appendField(QByteArray& record, const QString& text) {
    appendField(record, QByteArrayView(text.toUtf8()));
}

void appendNumber(QByteArray& record, qint64 n) {
    record += '\t';
    record += QByteArray::number(n);
}

// Which file it is, and whether it changed: device, inode, size, modification time.
void appendStamp(QByteArray& record, const FileStamp& s) {
    for (const quint64 n : {s.device, s.inode}) {
        record += '\t';
        record += QByteArray::number(n);
    }
    appendNumber(record, s.size);
    appendNumber(record, s.mtimeNs);
}

QByteArray decodeField(QByteArrayView field, bool& ok) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            out += field[i];
            continue;
        }
        if (i + 2 >= field.size()) {
            ok = false;
            return out;
        }
        bool hexOk = false;
        const int b = QByteArray(field.sliced(i + 1, 2).data(), 2).toInt(&hexOk, 16);
        if (!hexOk) {
            ok = false;
            return out;
        }
        out += char(b);
        i += 2;
    }
    return out;
}

// The line of a record, its checksum added.
QByteArray sealed(QByteArray record) {
    const quint32 crc = journalCrc(record);
    record += '\t';
    record += QByteArray::number(crc, 16).rightJustified(8, '0');
    record += '\n';
    return record;
}

// A record line's fields, or false when the line is damaged.
bool unseal(QByteArrayView line, std::vector<QByteArrayView>& fields) {
    fields.clear();
    const qsizetype tab = line.lastIndexOf('\t');
    if (tab <= 0 || line.size() - tab - 1 != 8)
        return false;
    bool ok = false;
    const quint32 crc = QByteArray(line.sliced(tab + 1).data(), 8).toUInt(&ok, 16);
    const QByteArrayView body = line.first(tab);
    if (!ok || crc != journalCrc(body))
        return false;
    qsizetype start = 0;
    while (true) {
        const qsizetype next = body.indexOf('\t', start);
        if (next < 0) {
            fields.push_back(body.sliced(start));
            break;
        }
        fields.push_back(body.sliced(start, next - start));
        start = next + 1;
    }
    return true;
}

QString newRunId() {
    static std::atomic<int> counter{0};
    return QString::number(QDateTime::currentMSecsSinceEpoch()) + u'-' +
           QString::number(QCoreApplication::applicationPid()) + u'-' +
           QString::number(counter.fetch_add(1) + 1);
}

// Whether the line is the start of a tool's run (not of an undo), for the count of kept runs.
bool startsToolRun(QByteArrayView line) {
    if (!line.startsWith("B\t"))
        return false;
    std::vector<QByteArrayView> fields;
    if (!unseal(line, fields) || fields.size() < 5)
        return false;
    bool ok = true;
    const QString name = QString::fromUtf8(decodeField(fields[3], ok));
    return ok && name.compare(QLatin1String(kUndoScriptName), Qt::CaseInsensitive) != 0;
}

// Before a new run is added: a journal that holds the last kJournalKeepsRuns tool runs
// already loses the oldest (and whatever was noted about them) so that the new one makes
// that many again. The file is replaced whole, so a kill leaves the old or the new one.
void dropOldestRuns(const QString& path) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = in.readAll();
    in.close();
    std::vector<qsizetype> starts;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', pos);
        if (nl < 0)
            nl = bytes.size();
        if (startsToolRun(QByteArrayView(bytes).sliced(pos, nl - pos)))
            starts.push_back(pos);
        pos = nl + 1;
    }
    if (starts.size() < std::size_t(kJournalKeepsRuns))
        return;
    const qsizetype cut = starts[starts.size() - std::size_t(kJournalKeepsRuns - 1)];
    QByteArray kept = bytes.sliced(cut);
    if (!kept.endsWith('\n'))
        kept += '\n';
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly) && out.write(kept) == kept.size())
        out.commit();
}

bool appendMark(const QString& journalPath, char kind, const QString& runId, int flag = -1) {
    if (journalPath.isEmpty())
        return false;
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    QByteArray line;
    // A record cut off by a kill ends without a line break; the mark starts its own line.
    if (file.size() > 0) {
        file.seek(file.size() - 1);
        if (file.read(1) != "\n")
            line += '\n';
    }
    QByteArray record(1, kind);
    appendField(record, runId);
    if (flag >= 0)
        appendNumber(record, flag);
    line += sealed(record);
    const bool ok = file.write(line) == line.size();
    return syncFileToDisk(file) && ok;
}

}  // namespace

QString undoJournalPath(const QString& undoFolder, const QString& pictureFolder) {
    if (undoFolder.isEmpty() || pictureFolder.trimmed().isEmpty())
        return QString();
    const QFileInfo info(QDir::cleanPath(QDir::fromNativeSeparators(pictureFolder)));
    QString key = info.canonicalFilePath();
    if (key.isEmpty())
        key = QDir::cleanPath(info.absoluteFilePath());
    // The folder's own name makes the file findable by a person; the hash makes it unique.
    QString readable;
    for (const QChar c : QFileInfo(key).fileName()) {
        if (readable.size() >= 32)
            break;
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
        readable += plain ? c : u'_';
    }
    const QByteArray hash =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(24);
    return QDir::cleanPath(undoFolder) + u'/' + (readable.isEmpty() ? QString() : readable + u'-') +
           QString::fromLatin1(hash) + QStringLiteral(".journal");
}

QString undoJournalForScript(const QString& undoFolder, const QString& scriptPath) {
    const QFileInfo info(scriptPath);
    const JournalRunName* n = findRunName(info.fileName());
    if (!n || n->run[0] != '_')
        return QString();
    return undoJournalPath(undoFolder, info.absolutePath());
}

QProcessEnvironment undoJournalEnvironment(const QString& journalPath) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString name = QString::fromLatin1(kUndoJournalVariable);
    if (journalPath.isEmpty())
        env.remove(name);
    else
        env.insert(name, journalPath);
    return env;
}

QString runDisplayName(const QString& runName, Language language) {
    const JournalRunName* n = findRunName(runName);
    if (!n)
        return runName.isEmpty() ? pick(language, QStringLiteral("Unbekannte Aktion"),
                                        QStringLiteral("Unknown action"))
                                 : runName;
    return QString::fromUtf8(language == Language::English ? n->english : n->german);
}

UndoJournalWriter::UndoJournalWriter(QString journalPath, QString runName, QString folder)
    : path_(std::move(journalPath)), runName_(std::move(runName)), folder_(std::move(folder)) {
    if (active())
        runId_ = newRunId();
}

UndoJournalWriter::~UndoJournalWriter() = default;

QString UndoJournalWriter::problem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

QString UndoJournalWriter::absolute(const QString& path) const {
    if (QDir::isAbsolutePath(path))
        return path;
    return QDir(folder_).absoluteFilePath(path);
}

bool UndoJournalWriter::beginLocked() {
    if (begun_ || broken_)
        return begun_;
    const QString dir = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(dir)) {
        broken_ = true;
        problem_ = QStringLiteral("cannot create the folder ") + dir;
        return false;
    }
    if (runName_.compare(QLatin1String(kUndoScriptName), Qt::CaseInsensitive) != 0)
        dropOldestRuns(path_);
    file_.setFileName(path_);
    if (!file_.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        broken_ = true;
        problem_ = file_.errorString() + QStringLiteral(": ") + path_;
        return false;
    }
    // The names of a person's pictures are nobody else's business.
    file_.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    begun_ = true;
    QByteArray start;
    if (file_.size() > 0) {
        file_.seek(file_.size() - 1);
        if (file_.read(1) != "\n")
            start += '\n';  // the last record was cut off; ours must not join it
    }
    QByteArray record("B");
    appendField(record, runId_);
    appendNumber(record, QDateTime::currentMSecsSinceEpoch());
    appendField(record, runName_);
    appendField(record, folder_);
    start += sealed(record);
    if (file_.write(start) != start.size()) {
        broken_ = true;
        problem_ = file_.errorString() + QStringLiteral(": ") + path_;
    }
    return !broken_;
}

void UndoJournalWriter::appendLocked(const QByteArray& line) {
    if (!beginLocked())
        return;
    if (file_.write(line) != line.size()) {
        broken_ = true;
        problem_ = file_.errorString() + QStringLiteral(": ") + path_;
    }
}

void UndoJournalWriter::renameStarting(const QString& from, const QString& to) {
    if (!active())
        return;
    const QString fullFrom = absolute(from);
    const std::optional<FileStamp> stamp = readFileStamp(fullFrom);
    std::lock_guard lock(mutex_);
    lastRename_ = -1;
    if (!stamp)
        return;
    lastRename_ = ++seq_;
    QByteArray record("R");
    appendField(record, runId_);
    appendNumber(record, lastRename_);
    appendStamp(record, *stamp);
    appendField(record, fullFrom);
    appendField(record, absolute(to));
    appendLocked(sealed(record));
}

void UndoJournalWriter::renameFailed(int error) {
    if (!active())
        return;
    std::lock_guard lock(mutex_);
    if (lastRename_ < 0)
        return;
    QByteArray record("F");
    appendField(record, runId_);
    appendNumber(record, lastRename_);
    appendNumber(record, error);
    appendLocked(sealed(record));
    lastRename_ = -1;
}

void UndoJournalWriter::deleted(const QString& path) {
    if (!active())
        return;
    std::lock_guard lock(mutex_);
    QByteArray record("D");
    appendField(record, runId_);
    appendField(record, absolute(path));
    appendLocked(sealed(record));
}

void UndoJournalWriter::programStarting(const QString& program) {
    if (!active())
        return;
    std::lock_guard lock(mutex_);
    QByteArray record("X");
    appendField(record, runId_);
    appendField(record, program);
    appendLocked(sealed(record));
}

void UndoJournalWriter::timesChanging(const QString& path, const FileStamp& before,
                                      qint64 newAtimeNs, qint64 newMtimeNs) {
    if (!active())
        return;
    // The date tools set files from several threads: only the write waits for the others.
    const QString full = absolute(path);
    QByteArray record("T");
    appendField(record, runId_);
    appendStamp(record, before);
    appendNumber(record, before.atimeNs);
    appendNumber(record, newMtimeNs);
    appendNumber(record, newAtimeNs);
    appendField(record, full);
    const QByteArray line = sealed(record);
    std::lock_guard lock(mutex_);
    appendLocked(line);
}

void UndoJournalWriter::finish(int failedLines) {
    if (!active())
        return;
    std::lock_guard lock(mutex_);
    // A run that noted nothing leaves nothing behind.
    if (!begun_)
        return;
    QByteArray record("E");
    appendField(record, runId_);
    appendNumber(record, failedLines);
    appendLocked(sealed(record));
    if (!broken_ && !syncFileToDisk(file_)) {
        broken_ = true;
        problem_ = QStringLiteral("cannot save ") + path_;
    }
    file_.close();
}

UndoJournalWriter toolRunJournal(const ToolHost& host, const char* runName) {
    const QString folder = host.directoryText();
    return UndoJournalWriter(undoJournalPath(host.undoJournalFolder(), folder),
                             QString::fromUtf8(runName), QDir::cleanPath(folder));
}

QString journalProblemNote(const UndoJournalWriter& journal, Language language) {
    const QString problem = journal.problem();
    if (problem.isEmpty())
        return QString();
    return pick(language,
                QStringLiteral("\r\rDas Journal für \"Rückgängig\" konnte nicht geschrieben "
                               "werden; dieser Lauf kann nicht rückgängig gemacht werden.\r"),
                QStringLiteral("\r\rThe journal for \"Undo\" could not be written; this run "
                               "cannot be undone.\r")) +
           problem;
}

bool noteUndoPlanned(const QString& journalPath, const QString& runId, bool wholeRun) {
    return appendMark(journalPath, 'P', runId, wholeRun ? 1 : 0);
}

bool noteUndone(const QString& journalPath, const QString& runId) {
    return appendMark(journalPath, 'U', runId);
}

bool JournalRun::isUndoRun() const {
    return name.compare(QLatin1String(kUndoScriptName), Qt::CaseInsensitive) == 0;
}

int JournalRun::renamedCount() const {
    int n = 0;
    for (const JournalRename& r : renames)
        n += r.failed ? 0 : 1;
    return n;
}

UndoJournal UndoJournal::read(const QString& journalPath) {
    QFile file(journalPath);
    if (!file.exists())
        return UndoJournal();
    if (!file.open(QIODevice::ReadOnly)) {
        UndoJournal j;
        j.unreadable_ = true;
        return j;
    }
    return parse(file.readAll());
}

JournalRun& UndoJournal::runFor(const QString& id) {
    const auto it = index_.constFind(id);
    if (it != index_.cend())
        return runs_[std::size_t(*it)];
    // Records of a run whose first record was lost (and counted as damaged): the run is
    // kept, nameless, so that what it did can still be undone.
    index_.insert(id, int(runs_.size()));
    runs_.emplace_back();
    runs_.back().id = id;
    return runs_.back();
}

UndoJournal UndoJournal::parse(const QByteArray& bytes) {
    UndoJournal j;
    std::vector<QByteArrayView> f;
    int current = -1;  // the run begun last: a damaged record most likely belongs to it
    QString plannedFor;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', pos);
        const bool cutOff = nl < 0;
        if (cutOff)
            nl = bytes.size();
        const QByteArrayView line = QByteArrayView(bytes).sliced(pos, nl - pos);
        pos = nl + 1;
        if (line.isEmpty())
            continue;
        bool ok = !cutOff && unseal(line, f) && !f.empty() && f[0].size() == 1 && f.size() >= 2;
        QString id;
        if (ok)
            id = QString::fromUtf8(decodeField(f[1], ok));
        const char kind = ok ? f[0][0] : '?';
        auto text = [&f, &ok](std::size_t i) { return QString::fromUtf8(decodeField(f[i], ok)); };
        auto number = [&f, &ok](std::size_t i) {
            bool good = false;
            const qint64 n = QByteArray(f[i].data(), f[i].size()).toLongLong(&good);
            ok = ok && good;
            return n;
        };
        auto unsignedNumber = [&f, &ok](std::size_t i) {
            bool good = false;
            const quint64 n = QByteArray(f[i].data(), f[i].size()).toULongLong(&good);
            ok = ok && good;
            return n;
        };
        // Device, inode, size and modification time, as appendStamp wrote them.
        auto stampAt = [&](std::size_t i) {
            FileStamp s;
            s.device = unsignedNumber(i);
            s.inode = unsignedNumber(i + 1);
            s.size = number(i + 2);
            s.mtimeNs = number(i + 3);
            return s;
        };
        const std::size_t want = kind == 'B'   ? 5
                                 : kind == 'R' ? 9
                                 : kind == 'F' ? 4
                                 : kind == 'D' ? 3
                                 : kind == 'X' ? 3
                                 : kind == 'T' ? 10
                                 : kind == 'E' ? 3
                                 : kind == 'P' ? 3
                                               : 2;
        // A kind of record a later version writes may hold more fields.
        if (ok && f.size() != want && QByteArrayView("BRFDXTEPU").contains(kind))
            ok = false;
        if (ok) {
            switch (kind) {
                case 'B': {
                    const qint64 ms = number(2);
                    const QString name = text(3);
                    const QString folder = text(4);
                    if (!ok)
                        break;
                    JournalRun& run = j.runFor(id);
                    run.name = name;
                    run.folder = folder;
                    run.started = QDateTime::fromMSecsSinceEpoch(ms);
                    if (run.isUndoRun()) {
                        run.undoes = plannedFor;
                        plannedFor.clear();
                    }
                    current = j.index_.value(id);
                    break;
                }
                case 'R': {
                    JournalRename r;
                    r.seq = int(number(2));
                    r.stamp = stampAt(3);
                    r.from = text(7);
                    r.to = text(8);
                    if (ok)
                        j.runFor(id).renames.push_back(std::move(r));
                    break;
                }
                case 'F': {
                    const int seq = int(number(2));
                    if (!ok)
                        break;
                    std::vector<JournalRename>& renames = j.runFor(id).renames;
                    for (auto it = renames.rbegin(); it != renames.rend(); ++it) {
                        if (it->seq == seq) {
                            it->failed = true;
                            break;
                        }
                    }
                    break;
                }
                case 'D':
                    if (ok)
                        ++j.runFor(id).deletions;
                    break;
                case 'X':
                    if (ok)
                        ++j.runFor(id).programs;
                    break;
                case 'T': {
                    JournalTimes t;
                    t.before = stampAt(2);
                    t.before.atimeNs = number(6);
                    t.newMtimeNs = number(7);
                    t.newAtimeNs = number(8);
                    t.path = text(9);
                    if (ok)
                        j.runFor(id).times.push_back(std::move(t));
                    break;
                }
                case 'E': {
                    const int failed = int(number(2));
                    if (!ok)
                        break;
                    JournalRun& run = j.runFor(id);
                    run.finished = true;
                    run.failedLines = failed;
                    if (run.isUndoRun() && !run.undoes.isEmpty())
                        j.undone_.insert(run.undoes);
                    break;
                }
                case 'P':
                    // A plan that leaves files for later (an old name taken) does not close
                    // the run; the next click plans the rest.
                    plannedFor = number(2) == 1 && ok ? id : QString();
                    break;
                case 'U':
                    j.undone_.insert(id);
                    break;
                default:
                    break;  // a kind of record a later version writes
            }
        }
        if (!ok) {
            ++j.damaged_;
            if (current >= 0)
                ++j.runs_[std::size_t(current)].damaged;
        }
    }
    return j;
}

const JournalRun* UndoJournal::nextToUndo() const {
    for (auto it = runs_.rbegin(); it != runs_.rend(); ++it)
        if (!it->isUndoRun() && !undone(it->id) && it->canBeUndone())
            return &*it;
    return nullptr;
}

const JournalRun* UndoJournal::newestNotUndone() const {
    for (auto it = runs_.rbegin(); it != runs_.rend(); ++it)
        if (!it->isUndoRun() && !undone(it->id))
            return &*it;
    return nullptr;
}

}  // namespace kadrano
