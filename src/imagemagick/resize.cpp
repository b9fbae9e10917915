#include "resize.h"

#include <QFileInfo>
#include <QSet>

#include "core/mtimekeeper.h"
#include "core/pathhelpers.h"
#include "core/scripttext.h"

namespace kadrano {

namespace {

// "-resize" with ">" fits a larger picture into N by N and leaves a smaller one at its
// size. The ">" must be quoted, or the command interpreter takes it for a redirection; a
// double quote in the field could end that quoting, and has no meaning in a size anyway.
QString shrinkGeometry(const QString& maxPixel) {
    QString n;
    for (QChar c : maxPixel)
        if (canStandInScript(QString(c)))
            n += c;
    return scriptArg(n + u'x' + n + u'>');
}

QString nameTakenText(int count) {
    return QStringLiteral(
               "%1 Bild(er) werden nicht konvertiert: eine andere Datei trägt schon "
               "den neuen Namen.")
        .arg(count);
}

}  // namespace

QString outputExtension(const QString& format) {
    const QString lower = format.toLower();
    return lower == QLatin1String("jpeg") ? QStringLiteral("jpg") : lower;
}

QString OutputName(const QString& name, const QString& extension) {
    const qsizetype length = name.size();
    qsizetype dot = name.indexOf(u'.', std::max<qsizetype>(0, length - 4));
    if (dot < 0)
        dot = name.indexOf(u'.', std::max<qsizetype>(0, length - 5));
    const QString stem = dot < 0 ? name : name.left(dot);
    return stem + u'.' + extension;
}

bool convertsToFormat(const QString& name, const QString& format) {
    const QString lname = name.toLower();
    return !lname.contains(u'.' + format.toLower()) &&
           !lname.contains(u'.' + outputExtension(format));
}

FormatMatch MatchOutputFormat(const QString& typed, const QStringList& formats) {
    QString text = typed.trimmed().toUpper();
    if (text == QLatin1String("JPG"))
        text = QStringLiteral("JPEG");
    const auto first = [&formats](const auto& test) -> const QString* {
        for (const QString& f : formats)
            if (test(f.toUpper()))
                return &f;
        return nullptr;
    };
    const QString withoutLast = text.left(text.size() - 1);
    const QString firstChar = text.left(1);
    const QString* hit = first([&](const QString& f) { return f == text; });
    if (!hit)
        hit = first([&](const QString& f) { return f.contains(text); });
    if (!hit)
        hit = first([&](const QString& f) { return f.contains(withoutLast); });
    if (!hit)
        hit = first([&](const QString& f) { return f.contains(firstChar); });
    if (hit)
        return {*hit, true};
    return {QStringLiteral("JPEG"), false};
}

Question unknownFormatMessage() {
    return Question{QStringLiteral("Datei Format nicht gefunden. Ausgabe auf JPG (JPEG) gesetzt"),
                    QStringLiteral("Unbekanntes Format"),
                    QStringLiteral("File-Format not found - Set to JPG"),
                    QStringLiteral("Unknown Format")};
}

ResizePlan planResize(const FileList& files, const ResizeOptions& o) {
    ResizePlan plan;
    ScriptBuilder script;
    const QString geometry = shrinkGeometry(o.maxPixel);
    const QString extension = outputExtension(o.format);
    const QString quality = QString::number(o.quality);
    const bool formatUsable = canStandInScript(o.format);
    // New names already given to an earlier file of this run (compared without regard to
    // case, as on Windows and on a memory card's file system).
    QSet<QString> newNames;
    const int count = files.count();
    for (int i = 0; i < count; ++i) {
        const QString& name = files.FileNames.at(i);
        const QString input = files.fullPath(i);
        const bool converts = o.convert && convertsToFormat(name, o.format);
        const QString output =
            converts ? files.FileDirs.at(i) + OutputName(name, extension) : input;
        if (!canStandInScript(input) || !canStandInScript(output) || (converts && !formatUsable)) {
            ++plan.unsafe;
            continue;
        }
        if (converts) {
            // Writing onto another picture would turn two pictures into one.
            const QString key = output.toCaseFolded();
            if (QFileInfo::exists(output) || newNames.contains(key)) {
                ++plan.nameTaken;
                continue;
            }
            newNames.insert(key);
        }
        const QString in = scriptArg(input);
        const QString out = scriptArg(output);
        const QString formatOption =
            converts ? QStringLiteral(" -format ") + scriptArg(o.format) + u' ' : QString();
        script.addProgress(i, count);
        if (converts && o.keepSize) {
            script.add(o.magickCommand + QStringLiteral(" convert ") + in + u' ' + formatOption +
                       QStringLiteral(" -quality ") + quality + u' ' + out);
        } else {
            script.add(o.magickCommand + QStringLiteral(" convert ") + in +
                       QStringLiteral(" -resize ") + geometry + formatOption +
                       QStringLiteral(" -quality ") + quality + u' ' + out);
        }
        ++plan.commands;
        plan.rewrites.push_back({input, output});
        if (!converts)
            continue;
        ++plan.conversions;
        // A conversion that failed may leave an empty or broken file; it goes while the
        // original is still there. Only a conversion that succeeded and whose file exists
        // lets the original go.
        script.add(QStringLiteral("if errorlevel 1 if exist ") + in + QStringLiteral(" if exist ") +
                   out + QStringLiteral(" del ") + out);
        if (o.deleteOld)
            script.add(QStringLiteral("if not errorlevel 1 if exist ") + out +
                       QStringLiteral(" del ") + in);
    }
    script.finish(o.pauseAtEnd);
    plan.lines = script.lines();
    return plan;
}

QString resizeQuestion(const QString& maxPixel, const QString& scriptPath, int nameTaken) {
    QString text = QStringLiteral("Bild jetzt auf max ") + maxPixel +
                   QStringLiteral(
                       "Pixel verkleinern?\rDie Dateien werden dabei ersetzt!\r"
                       "'Nein' öffnet die Datei im Notepad!\r\r"
                       "ImageMageic wird mit dieser Datei gestartet:\r\r") +
                   scriptPath;
    if (nameTaken > 0)
        text += QStringLiteral("\r\r") + nameTakenText(nameTaken);
    return text;
}

void runResize(ToolHost& host, const ResizeOptions& options) {
    ScriptTools tools(host);
    if (!host.loading())
        host.saveSettings();
    const QString script = AddSeparator(host.directoryText()) + QLatin1String(kResizeScript);
    if (host.fileList().isEmpty()) {
        tools.inform(noFilesFoundText(host.directoryText(), host.patternText()),
                     Mb::OK | Mb::IconInformation, QStringLiteral("Keine Dateien gefunden!"));
        return;
    }
    host.showUpdateLink();

    ResizeOptions o = options;
    o.pauseAtEnd = host.pauseAtEnd();
    const ResizePlan plan = planResize(host.fileList(), o);
    if (!tools.writeScript(script, plan.lines))
        return;
    tools.reportUnsafeNames(plan.unsafe);
    if (host.noQuestions() && plan.nameTaken > 0)
        tools.AskUser(nameTakenText(plan.nameTaken), Mb::OK | Mb::IconWarning,
                      QStringLiteral("Nicht konvertiert"),
                      QStringLiteral("%1 picture(s) will not be converted: another file already "
                                     "has the new name.")
                          .arg(plan.nameTaken),
                      QStringLiteral("Not converted"));

    if (runMagickScript(host, script, resizeQuestion(o.maxPixel, script, plan.nameTaken),
                        plan.rewrites)) {
        // ImageMagick may end well without writing a format it does not support.
        int missing = 0;
        for (const MagickRewrite& r : plan.rewrites)
            if (!r.inPlace() && !QFileInfo::exists(r.output))
                ++missing;
        if (missing > 0)
            tools.AskUser(
                QStringLiteral("%1 Bild(er) wurden nicht konvertiert; die Originale sind "
                               "erhalten.\r\r(Das Konsolenfenster nannte den Grund.)")
                    .arg(missing),
                Mb::OK | Mb::IconWarning, QStringLiteral("Nicht konvertiert"),
                QStringLiteral("%1 picture(s) were not converted; the originals are kept.\r\r"
                               "(The console window showed why.)")
                    .arg(missing),
                QStringLiteral("Not converted"));
    }
    if (!host.loading())
        host.collectFiles();
    host.showUpdateLink();
    host.person().processEvents();
}

void runKeptResizeScript(ToolHost& host, const ResizeOptions& options) {
    // The script was written for the files collected then; the list now is the nearest we
    // know, and the plan for it names the files a conversion would make.
    MtimeKeeper keeper;
    for (const MagickRewrite& r : planResize(host.fileList(), options).rewrites)
        keeper.keep(r.input, r.output);
    ScriptTools(host).RunKeptScript(kResizeKept);
    keeper.restore();
    if (!host.loading())
        host.collectFiles();
}

}  // namespace kadrano
