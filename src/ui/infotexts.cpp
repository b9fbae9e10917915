#include "infotexts.h"

#include <QStringList>

namespace kadrano {

namespace {

// The texts are kept as their lines; a box shows them joined by single carriage returns.
QString joinLines(std::initializer_list<const char*> lines) {
    QStringList l;
    for (const char* line : lines)
        l.append(QString::fromUtf8(line));
    return l.join(u'\r');
}

QString generalInfoText(Language language, const QString& programName) {
    if (language == Language::English)
        return joinLines({"Use this program to edit pictures in a batch. Based on directories / "
                          "sub-directories.",
                          "",
                          "For most of the functions Bat-Fies will be generated to call ImageMagic "
                          "in a batch-mode",
                          "", "Command-line (optional): Full path", ""}) +
               QStringLiteral("    Example: '") + programName +
               QStringLiteral(".exe C:\\Pictures\\Vacation\\'");
    return joinLines({"Dieses Programm dient zum Bearbeiten der Namen von Fotos in Verzeichnissen.",
                      "",
                      "Es generiert Bat-Datein die sofort oder später ausgeführt werden können um "
                      "die Jeweilige Umbenennung durchzuführen",
                      "", "Commando-Zeile (optional): Voller Pfad", ""}) +
           QStringLiteral("    Beispiel: '") + programName +
           QStringLiteral(".exe C:\\Pictures\\Urlaub\\'");
}

}  // namespace

InfoText generalInfo(Language language, const QString& windowCaption, const QString& programName) {
    return InfoText{generalInfoText(language, programName),
                    QStringLiteral("Info - ") + windowCaption};
}

}  // namespace kadrano
