#include "orientation.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSet>

#include "core/pathhelpers.h"
#include "core/progress.h"
#include "core/scripttext.h"

namespace kadrano {

QSize storedPictureSize(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QSize header = reader.size();
    if (header.isValid() && !header.isEmpty())
        return header;
    // A reader that cannot tell the size without decoding (or a file that is no
    // picture at all, which the decode then finds out).
    if (reader.supportsOption(QImageIOHandler::Size))
        return QSize();
    QImageReader decoder(path);
    decoder.setAutoTransform(false);
    const QImage image = decoder.read();
    return image.isNull() ? QSize() : image.size();
}

Orientation orientationOfSize(const QSize& size) {
    if (!size.isValid() || size.isEmpty())
        return Orientation::Unknown;
    return size.width() < size.height() ? Orientation::Portrait : Orientation::Landscape;
}

namespace {

std::optional<Question> problemWith(const QString& tag, const char* whichDe, const char* whichEn) {
    const QString de = QString::fromUtf8(whichDe);
    const QString en = QString::fromUtf8(whichEn);
    if (tag.trimmed().isEmpty()) {
        return Question{
            QStringLiteral("Das Kürzel für ") + de +
                QStringLiteral(" ist leer.\r\rBitte ein Kürzel eintragen, z.B. [HF] bzw. [QF]."),
            QStringLiteral("Kürzel fehlt"),
            QStringLiteral("The tag for ") + en +
                QStringLiteral(" is empty.\r\rPlease enter a tag, e.g. [HF] or [QF]."),
            QStringLiteral("Tag missing"),
        };
    }
    for (QChar c : tag) {
        if (!cannotStandInName(c))
            continue;
        const QString shown = c.unicode() < 0x20 || c.unicode() == 0x7f
                                  ? QStringLiteral("(Steuerzeichen)")
                                  : QString(c);
        const QString shownEn = c.unicode() < 0x20 || c.unicode() == 0x7f
                                    ? QStringLiteral("(control character)")
                                    : QString(c);
        return Question{
            QStringLiteral("Das Kürzel für ") + de + QStringLiteral(" \"") + tag +
                QStringLiteral("\" enthält das Zeichen ") + shown +
                QStringLiteral(", das in keinem Dateinamen stehen darf.\r\r"
                               "Nicht erlaubt sind: \\ / : * ? \" < > |\r\r"
                               "Es wurde nichts umbenannt."),
            QStringLiteral("Ungültiges Kürzel"),
            QStringLiteral("The tag for ") + en + QStringLiteral(" \"") + tag +
                QStringLiteral("\" holds the character ") + shownEn +
                QStringLiteral(", which no file name may hold.\r\r"
                               "Not allowed are: \\ / : * ? \" < > |\r\r"
                               "Nothing was renamed."),
            QStringLiteral("Invalid tag"),
        };
    }
    return std::nullopt;
}

// Whether the file is one of the tool's own scripts (a mask such as "*.*" collects them).
bool isOwnScript(const QString& name) {
    return name == QLatin1String(kOrientationTagScriptName) ||
           name == QLatin1String(kOrientationRemoveScriptName);
}

// Keeps a script from naming a target twice or naming one that is already there: the
// interpreter would refuse the line, and a person's file must never be overwritten.
class TargetGuard {
public:
    explicit TargetGuard(const PathExists& exists) : exists_(exists) {}
    bool claim(const QString& target) {
        if (claimed_.contains(target) || exists_(target))
            return false;
        claimed_.insert(target);
        return true;
    }

private:
    const PathExists& exists_;
    QSet<QString> claimed_;
};

// Adds one rename to the script, or counts why it cannot be written. progressFirst picks
// the line order; a progress line written after its rename ends in a double quote.
void addRename(OrientationScript& script, TargetGuard& guard, const FileList& files, int k,
               const QString& newName, bool progressFirst) {
    const QString source = files.fullPath(k);
    if (!canStandInScript(source) || !canStandInScript(newName)) {
        ++script.unsafe;
        return;
    }
    if (!guard.claim(files.FileDirs.at(k) + newName)) {
        ++script.taken;
        return;
    }
    const QString ren = QStringLiteral("ren ") + scriptArg(source) + u' ' + scriptArg(newName);
    const QString progress = progressLine(k, files.count());
    if (progressFirst) {
        script.lines.append(progress);
        script.lines.append(ren);
    } else {
        script.lines.append(ren);
        script.lines.append(progress + u'"');
    }
    ++script.renames;
}

}  // namespace

std::optional<Question> tagProblem(const OrientationTagOptions& options) {
    if (auto p = problemWith(options.portraitTag, "Hochformat", "portrait"))
        return p;
    return problemWith(options.landscapeTag, "Querformat", "landscape");
}

QString taggedName(const QString& name, const QString& tag, bool beforeExtension) {
    if (!beforeExtension)
        return tag + name;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return name + tag;
    return name.left(dot) + tag + name.mid(dot);
}

bool pathExistsOnDisk(const QString& path) {
    // A link that leads nowhere is a name that is taken all the same. Asking for the link
    // first answers both questions with one look at the disk.
    const QFileInfo info(path);
    return info.isSymLink() || info.exists();
}

OrientationScript planOrientationTags(const FileList& files,
                                      const std::vector<Orientation>& measured,
                                      const OrientationTagOptions& options, bool pauseAtEnd,
                                      const PathExists& exists) {
    OrientationScript script;
    script.lines = scriptHeader();
    TargetGuard guard(exists);
    const int measuredCount = int(std::min<size_t>(measured.size(), size_t(files.count())));
    for (int k = 0; k < measuredCount; ++k) {
        const QString& name = files.FileNames.at(k);
        QString tag;
        switch (measured[size_t(k)]) {
            case Orientation::Portrait:
                tag = options.portraitTag;
                ++script.portrait;
                break;
            case Orientation::Landscape:
                tag = options.landscapeTag;
                ++script.landscape;
                break;
            case Orientation::Unknown:
                ++script.unknown;
                continue;
        }
        if (tag.isEmpty() || name.contains(tag) || isOwnScript(name))
            continue;
        addRename(script, guard, files, k, taggedName(name, tag, options.beforeExtension),
                  options.beforeExtension);
    }
    if (pauseAtEnd)
        script.lines.append(QStringLiteral("pause"));
    return script;
}

OrientationScript planRemoveOrientationTags(const FileList& files,
                                            const OrientationTagOptions& options, bool pauseAtEnd,
                                            const PathExists& exists) {
    OrientationScript script;
    script.lines = scriptHeader();
    TargetGuard guard(exists);
    const QString& landscape = options.landscapeTag;
    const QString& portrait = options.portraitTag;
    for (int k = 0; k < files.count(); ++k) {
        const QString& name = files.FileNames.at(k);
        if (isOwnScript(name))
            continue;
        QString restored = name;
        if (!landscape.isEmpty() && name.contains(landscape)) {
            restored.remove(landscape);
        } else if (!portrait.isEmpty() && name.contains(portrait)) {
            restored.remove(portrait);
        } else {
            script.wellFormed = false;
            continue;
        }
        // A name that was nothing but the tag has no name to go back to.
        if (restored.isEmpty())
            continue;
        addRename(script, guard, files, k, restored, true);
    }
    if (pauseAtEnd)
        script.lines.append(QStringLiteral("pause"));
    return script;
}

QString measuringCaption(int k, int n) {
    return QStringLiteral("Analysiere Bild: ") + QString::number(k) + QStringLiteral(" / ") +
           QString::number(n) + QStringLiteral("  ..das dauert etwas.. (ESC=Abbruch)");
}

QString measuringStartCaption(const QString& clockText) {
    return QStringLiteral("Bildausrichtung wird ermittelt (Start: ") + clockText + u')';
}

QString measuringStatus(Language lang, const QString& timeLeft, int k, int n,
                        const OrientationTagOptions& options, int portrait, int landscape) {
    return timeLeftFragment(timeLeft, lang == Language::English) + QStringLiteral("   ") +
           QString::number(k) + QStringLiteral(" / ") + QString::number(qint64(n) + 1) +
           QStringLiteral(" - ") + options.portraitTag + QStringLiteral(": ") +
           QString::number(portrait) + QStringLiteral(" / ") + options.landscapeTag +
           QStringLiteral(": ") + QString::number(landscape);
}

Question stopMeasuringQuestion() {
    return Question{
        QStringLiteral("Laufenden Vorgang beenden?"),
        QStringLiteral("Laufenden Vorgang stoppen?"),
        QStringLiteral("Cancel running process?"),
        QStringLiteral("Cancel process?"),
    };
}

QString takenNamesNote(Language lang, int taken) {
    if (taken <= 0)
        return QString();
    if (lang == Language::English)
        return QStringLiteral("\r\r") + QString::number(taken) +
               QStringLiteral(
                   " file(s) are left out: the new name is already taken "
                   "(nothing is overwritten).");
    return QStringLiteral("\r\r") + QString::number(taken) +
           QStringLiteral(
               " Datei(en) werden übersprungen: der neue Name ist schon vergeben "
               "(es wird nichts überschrieben).");
}

Question tagRenameQuestion(const QString& scriptPath, int taken) {
    return Question{
        QStringLiteral("Dateien jetzt umbenennen?\r\r'Nein' öffnet die Bat-Datei im Notepad!\r\r"
                       "Es wird diese Datei ausgeführt / Angezeigt:\r\r") +
            scriptPath + takenNamesNote(Language::German, taken),
        QStringLiteral("Umbenennen starten?"),
        QStringLiteral("Rename files now?\r\r'NO' opens Bat-file in the Notepad!\r\r"
                       "This file will be started / shown:\r\r") +
            scriptPath + takenNamesNote(Language::English, taken),
        QStringLiteral("Start renaming now?"),
    };
}

QString removeQuestionText(int taken) {
    return QStringLiteral("Umebenennen jetzt starten?\r\rDatei: ") +
           QLatin1String(kOrientationRemoveScriptName) + takenNamesNote(Language::German, taken);
}

QString removeQuestionTitle() {
    return QStringLiteral(
        "Umbenennung starten (Bat-Datei ausführen?)\r\r"
        "Nein =  Datei im Notepad öffnen!");
}

QString wrongFormatText(const OrientationTagOptions& options, int taken) {
    return QStringLiteral(
               "Das Dateiformat stimmt nicht (mindestens eine Datei)\r"
               "Es sollte folgendermaßen aussehen: ") +
           options.portraitTag + QStringLiteral("'Filename'") + options.portraitTag +
           QStringLiteral(
               "'Filename'\r\r"
               "Dateien trotzdem umbennennen? (nicht passende werden übersprungen)?") +
           takenNamesNote(Language::German, taken);
}

QString wrongFormatTitle() {
    return QStringLiteral("Falsches Dateinamen-Format gefunden!");
}

}  // namespace kadrano
