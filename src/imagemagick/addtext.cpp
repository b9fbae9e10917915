#include "addtext.h"

#include <QFileInfo>
#include <QSet>

#include "core/mtimekeeper.h"
#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "core/toolsequence.h"

namespace kadrano {

namespace {

bool isControl(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || u == 0x7f || u == 0x85 || u == 0x2028 || u == 0x2029;
}

// The text between one pair of outer double quotes (either may be missing).
QString innerText(const QString& quoted) {
    QString s = quoted;
    if (s.startsWith(u'"'))
        s.remove(0, 1);
    if (s.endsWith(u'"'))
        s.chop(1);
    return s;
}

}  // namespace

QString escapeForMagickText(const QString& text) {
    QString out;
    out.reserve(text.size() + 4);
    for (QChar c : text) {
        if (c == u'\\' || c == u'%')
            out += c;
        out += c;
    }
    if (out.startsWith(u'@'))
        out.prepend(u'\\');
    return out;
}

QString captionArgument(const QString& quotedCaption) {
    QString text;
    for (QChar c : innerText(quotedCaption))
        if (c != u'"' && !isControl(c))
            text += c;
    // Inside double quotes the command interpreter still expands "%", and nothing else.
    QString arg = escapeForMagickText(text);
    arg.replace(u'%', QLatin1String("%%"));
    return u'"' + arg + u'"';
}

QString captionOrFileName(const QString& quotedCaption, const QString& fileName,
                          bool useFileNameWhenEmpty) {
    if (!useFileNameWhenEmpty || !innerText(quotedCaption).trimmed().isEmpty())
        return quotedCaption;
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString stem = dot > 0 ? fileName.left(dot) : fileName;
    return u'"' + stem + QStringLiteral("  \"");
}

AddTextPlan planAddText(const FileList& files, const AddTextOptions& o,
                        const std::function<void(int)>& atPosition) {
    AddTextPlan plan;
    ScriptBuilder script;
    const QString size = o.pointSize.trimmed();
    const QString sizeArg = canStandInScript(size) ? scriptArg(size) : QString();
    // Without a font file ImageMagick takes its own default font; an empty "-font" would
    // take the next option for the font's name and fail on every picture.
    const QString fontOption = !o.fontFile.isEmpty() && canStandInScript(o.fontFile)
                                   ? QStringLiteral(" -font ") + scriptArg(o.fontFile)
                                   : QString();
    // The folder lines come first, each folder once: they run alone, and the pictures'
    // lines after them may then run side by side from the first to the last.
    QStringList folderLines;
    QSet<QString> folders;
    QStringList pictureLines;
    const int count = files.count();
    for (int i = 0; i < count; ++i) {
        if (i % 1000 == 0 && atPosition)
            atPosition(i);
        const QString& name = files.FileNames.at(i);
        const QString& dir = files.FileDirs.at(i);
        const QString input = files.fullPath(i);
        const QString folder = dir + QLatin1String(kTextFolder);
        const QString output = AddSeparator(folder) + name;
        if (!canStandInScript(input) || !canStandInScript(output)) {
            ++plan.unsafe;
            continue;
        }
        if (!folders.contains(dir)) {
            // A second run finds the folder there; that is no failure worth a report.
            const QString f = scriptArg(folder);
            folderLines.append(QStringLiteral("if not exist ") + f + QStringLiteral(" md ") + f);
            folders.insert(dir);
            ++plan.folders;
        }
        const QString caption =
            captionOrFileName(MakePictureText(name, o.caption), name, o.fileNameWhenEmpty);
        pictureLines.append(progressLine(i, count));
        pictureLines.append(o.magickCommand + QStringLiteral(" convert ") + scriptArg(input) +
                            QStringLiteral(" -fill ") + o.colour +
                            QStringLiteral(" -gravity Southeast -pointsize ") + sizeArg +
                            fontOption + QStringLiteral(" -annotate +0+5 ") +
                            captionArgument(caption) + u' ' + scriptArg(output));
        ++plan.commands;
        plan.rewrites.push_back({input, output});
    }
    for (const QString& line : folderLines)
        script.add(line);
    for (const QString& line : pictureLines)
        script.add(line);
    script.finish(o.pauseAtEnd);
    plan.lines = script.lines();
    return plan;
}

QString addTextQuestion(const QString& scriptPath) {
    return QStringLiteral(
               "Es wird (in jedem Bilderverzeichnis) ein Unterverzeichnis 'Text-Included' "
               "angelegt, indem die beschrifteteten Bilder gespeichert werden\r\r"
               "ImageMagic-Bat jetzt starten?\r\r"
               "'Nein' öffnet die Bat-Datei im Notepad!\r\r"
               "ImageMageic wird mit dieser Datei gestartet:\r\r") +
           scriptPath;
}

void runAddText(ToolHost& host, const AddTextOptions& options) {
    ScriptTools tools(host);
    Person& person = host.person();
    const Language lang = host.language();
    if (!host.loading())
        host.saveSettings();
    const QString script = AddSeparator(host.directoryText()) + QLatin1String(kAddTextScript);
    if (host.fileList().isEmpty()) {
        tools.inform(noFilesFoundText(host.directoryText(), host.patternText()),
                     Mb::OK | Mb::IconInformation, QStringLiteral("Keine Dateien gefunden!"));
        return;
    }
    person.setStatus(
        pick(lang, QStringLiteral("Erstelle Bat-Datei.."), QStringLiteral("Creating Bat-File..")));
    person.processEvents();
    host.showUpdateLink();

    AddTextOptions o = options;
    o.pauseAtEnd = host.pauseAtEnd();
    const AddTextPlan plan = planAddText(host.fileList(), o, [&](int position) {
        person.setStatus(pick(lang, QStringLiteral("Erstelle Bat-Datei..  "),
                              QStringLiteral("Creating Bat-File..  ")) +
                         QString::number(position));
    });
    if (!tools.writeScript(script, plan.lines))
        return;
    tools.reportUnsafeNames(plan.unsafe);

    bool run = true;
    if (!host.noQuestions()) {
        run = tools.inform(addTextQuestion(script), Mb::YesNoQuestion,
                           QStringLiteral("Bat-Datei löschen?")) != Mb::ResultNo;
        if (!run)
            tools.openInEditor(script);
        else
            person.setStatus(pick(lang, QStringLiteral("Starte Bat-Datei..   Bitte warten.."),
                                  QStringLiteral("Creating Bat-File..   Please wait!")));
    } else {
        person.setStatus(pick(lang, QStringLiteral("Starte Bat-Datei..   Bitte warten.."),
                              QStringLiteral("Starting Bat-File..    Please wait!")));
    }
    bool deleted = false;
    if (run) {
        // A frame sorts by date: the captioned copy takes its original's.
        MtimeKeeper keeper;
        for (const MagickRewrite& r : plan.rewrites)
            keeper.keep(r.input, r.output);
        const QString start = tools.GetStartTime();
        const int result = tools.RunAndWait((QuoteIfSpaces(script) + u' ' + start).trimmed());
        keeper.restore();
        person.processEvents();
        const MagickRunDetail detail = describeMagickRun(keeper, result);
        deleted = tools.deleteScriptAfterRun(script, result, detail.de, detail.en);
    } else {
        person.processEvents();
        deleted = tools.DeleteScript(script);
    }
    if (!deleted)
        tools.inform(script + QStringLiteral(" konnte nicht gelöscht werden!"), Mb::OK, QString());

    person.setStatus(pick(lang, QStringLiteral("Fertig"), QStringLiteral("All Done!")));
    host.showUpdateLink();
    person.processEvents();
}

}  // namespace kadrano
