#include "exifrotate.h"

#include <QFile>
#include <QImageReader>

#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "core/toolsequence.h"

namespace kadrano {

ExifTurn readExifTurn(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ExifTurn::Unknown;
    // Told by its first bytes, not by its name: only a real JPEG's header is trusted here.
    const QByteArray start = file.peek(3);
    if (start.size() < 3 || uchar(start[0]) != 0xFF || uchar(start[1]) != 0xD8 ||
        uchar(start[2]) != 0xFF)
        return ExifTurn::Unknown;
    QImageReader reader(&file, QByteArrayLiteral("jpeg"));
    if (!reader.canRead())
        return ExifTurn::Unknown;
    return reader.transformation() == QImageIOHandler::TransformationNone ? ExifTurn::Upright
                                                                          : ExifTurn::Turn;
}

ExifRotatePlan planExifRotate(const FileList& files, const ExifRotateOptions& options) {
    ExifRotatePlan plan;
    const int count = files.count();
    std::vector<int> chosen;
    for (int i = 0; i < count; ++i) {
        const QString path = files.fullPath(i);
        if (!canStandInScript(path)) {
            ++plan.unsafe;
            continue;
        }
        switch (readExifTurn(path)) {
            case ExifTurn::Upright:
                ++plan.upright;
                continue;
            case ExifTurn::Turn:
                ++plan.turned;
                break;
            case ExifTurn::Unknown:
                ++plan.unknown;
                break;
        }
        chosen.push_back(i);
    }
    // The progress counts the files that run, so its percentage and countdown stay true.
    ScriptBuilder script;
    const int lines = int(chosen.size());
    for (int k = 0; k < lines; ++k) {
        const QString path = files.fullPath(chosen[size_t(k)]);
        script.addProgress(k, lines);
        script.add(options.magickCommand + QStringLiteral(" mogrify -auto-orient ") +
                   scriptArg(path) + u' ');
        plan.rewrites.push_back({path, path});
    }
    script.finish(options.pauseAtEnd);
    plan.lines = script.lines();
    return plan;
}

QString exifRotateQuestion(const QString& scriptPath, const ExifRotatePlan& plan) {
    QString text = QStringLiteral(
                       "Bild mir ImageMagic jetzt gemäß EXIF-Daten ausrichten?\r"
                       "Die Dateien werden dabei ersetzt!\r"
                       "'Nein' öffnet die Datei im Notepad!\r\r"
                       "ImageMageic wird mit dieser Datei gestartet:\r\r") +
                   scriptPath +
                   QStringLiteral("\r\rLaut EXIF zu drehen: %1 Bild(er)").arg(plan.turned);
    if (plan.unknown > 0)
        text +=
            QStringLiteral("\rOhne lesbare EXIF-Angabe (ImageMagick prüft selbst): %1 Datei(en)")
                .arg(plan.unknown);
    text += QStringLiteral("\rSchon aufrecht, bleiben unverändert: %1 Bild(er)").arg(plan.upright);
    return text;
}

void runExifRotate(ToolHost& host, const ExifRotateOptions& options) {
    ScriptTools tools(host);
    if (!host.loading())
        host.saveSettings();
    const QString script = AddSeparator(host.directoryText()) + QLatin1String(kExifRotateScript);
    if (host.fileList().isEmpty()) {
        tools.inform(noFilesFoundText(host.directoryText(), host.patternText()),
                     Mb::OK | Mb::IconInformation, QStringLiteral("Keine Dateien gefunden!"));
        return;
    }
    host.showUpdateLink();

    ExifRotateOptions o = options;
    o.pauseAtEnd = host.pauseAtEnd();
    const ExifRotatePlan plan = planExifRotate(host.fileList(), o);
    tools.reportUnsafeNames(plan.unsafe);
    if (plan.commands() == 0) {
        tools.AskUser(QStringLiteral("Alle %1 Bild(er) stehen schon aufrecht; es gibt nichts zu "
                                     "drehen.")
                          .arg(plan.upright),
                      Mb::OK | Mb::IconInformation, QStringLiteral("Nichts zu drehen"),
                      QStringLiteral("All %1 picture(s) are upright already; nothing to turn.")
                          .arg(plan.upright),
                      QStringLiteral("Nothing to turn"));
    } else if (tools.writeScript(script, plan.lines)) {
        runMagickScript(host, script, exifRotateQuestion(script, plan), plan.rewrites);
    }
    host.showUpdateLink();
    host.person().processEvents();
}

}  // namespace kadrano
