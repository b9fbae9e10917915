#include "infotexts.h"

#include <QStringList>

namespace kadrano {

namespace {

// The texts are kept as their lines; a box shows them joined by single carriage returns.
QString Lines(std::initializer_list<const char*> lines) {
    QStringList l;
    for (const char* line : lines)
        l.append(QString::fromUtf8(line));
    return l.join(u'\r');
}

QString GeneralInfo(Language language, const QString& programName) {
    if (language == Language::English)
        return Lines({"Use this program to edit pictures in a batch. Based on directories / "
                      "sub-directories.",
                      "",
                      "For most of the functions Bat-Fies will be generated to call ImageMagic "
                      "in a batch-mode",
                      "", "Command-line (optional): Full path", ""}) +
               QStringLiteral("    Example: '") + programName +
               QStringLiteral(".exe C:\\Pictures\\Vacation\\'");
    return Lines({"Dieses Programm dient zum Bearbeiten der Namen von Fotos in Verzeichnissen.", "",
                  "Es generiert Bat-Datein die sofort oder später ausgeführt werden können um "
                  "die Jeweilige Umbenennung durchzuführen",
                  "", "Commando-Zeile (optional): Voller Pfad", ""}) +
           QStringLiteral("    Beispiel: '") + programName +
           QStringLiteral(".exe C:\\Pictures\\Urlaub\\'");
}

}  // namespace

std::optional<InfoText> InfoTextFor(const QString& button, Language language,
                                    const QString& windowCaption, const QString& programName) {
    const QString title = windowCaption + QStringLiteral(" - Info");
    if (button == QLatin1String("Command11"))
        return InfoText{GeneralInfo(language, programName),
                        QStringLiteral("Info - ") + windowCaption};
    if (button == QLatin1String("Command14"))
        return InfoText{
            Lines({"Größe aller Bilder proportional anpassen.",
                   "Der Max Wert gibt sowohl für Höhe als auch Breite die maximale Pixelzahl an.",
                   "", "Die Kompressionsqualität kann zwischen 1-99 gewählt werden (99 = beste)"}),
            title};
    if (button == QLatin1String("Command3"))
        return InfoText{
            Lines({"Wenn das, von der Kamera angegebene Format (Hoch/Quer) nicht mit der "
                   "tatsächlichen Ausrichtung des JPGs übereinstimmt kann dies hier korrigiert "
                   "werden (Das JPG, wird dann ggf. gedreht).",
                   "Im 2. Schritt kann das Format zum Dateinahmen hinzugefügt werden (um die "
                   "Bilder nach Format sortieren zu können)"}),
            title};
    if (button == QLatin1String("Command12"))
        return InfoText{
            Lines({"Wenn das, von der Kamera angegebene Forma (Hoch/Quer) nicht zum "
                   "tatsächlichen Format passt, wird das Bild gedreht.",
                   "",
                   "Dies funktioniert nur, wenn EXIF-Informationen für das Bild vorhanden und "
                   "gesetzt sind.",
                   "", "Für das Umwandeln wird ImageMagic benutzt und muss vorhanden sein.",
                   "Es werden eine Ini und eine Dateiliste ersellt denen ImageMagic gestartet "
                   "wird.",
                   "", "Der Vorgang kann ja nach Anzahl der Bilder etwas dauern"}),
            title};
    if (button == QLatin1String("Command6"))
        return InfoText{
            Lines({"Dieser Bereich dient zum sortieren von Fotos nach Format.",
                   "Die einzelnen Bilder werden dazu eingeladen und vermessen anschl. wird dem "
                   "Dateinamen ein entsprechendes Kürzel ([HF] bzw. [QF] voran gestellt.",
                   "", "    Beispiele:", "       'File1.jpg' -> '[HF]File1.jpg'",
                   "       'File2.jpg' -> '[HQ]File2.jpg'", "", "",
                   "Der Prozess ist recht langsam und kann je nach Anzahl der Bilder und "
                   "PC-Leistung mehrere Stunden dauern.",
                   "", "Bilder werde nicht nach Inhalten bewertet.",
                   "Falsch ausgerichtet Bilder werden also auch falsch erkannt."}),
            title};
    if (button == QLatin1String("Command15"))
        return InfoText{Lines({"Dient zum Umbenennen aller Dateien (Vorsicht).",
                               "Es könnten Texte Ersetzt, Angefügt oder der Verzeichnisname in "
                               "welchem die Datei sich befindet angehängt werden"}),
                        title};
    if (button == QLatin1String("Command13"))
        return InfoText{
            Lines({"Dieser Bereich dient dazu den Dateinamen in Bilder unten rechts einzufügen.",
                   "Der Dateityp (.jpg) wird dabei abgeschnitten.", "",
                   "       '23_2019_Urlaub_Rom.jpg' -> fügt: '23_2019_Urlaub_Rom' ins Bild "
                   "ein."}),
            title};
    if (button == QLatin1String("Command5"))
        return InfoText{
            Lines({"Dateinamen mischen:", "",
                   "Dieser Bereich dient zum 'Mischen' von Dateinamen in Verzeichnissen.",
                   "Es wird für jede Datei eine 4-Stellige Zufalls-Zahl erzeugt und getrennt mit "
                   "einem '#' links vor den Dateinamen gestellt.",
                   "(Bei mehreren tausend Bildern sollte doppelt gemischt werden)", "",
                   "    Beispiele:", "       'File1.jpg' -> '3424#File1.jpg'",
                   "       'File2.jpg' -> '0590#File2.jpg'", "", "", "Datum mischen:", "",
                   "Dieser Bereich dient zum mischen des Datei-Datums. Dazu wird für jede Datei "
                   "das gleiche fest gewählte Datum mit einer jeweils zufällig ermittelten "
                   "Uhrzeit gesetzt."}),
            title};
    if (button == QLatin1String("Command21"))
        return InfoText{
            Lines({"Ermittelt anhand der Checksummen der Dateien mehrfach vorhandene Bilder.",
                   "Dieser Vorgang ist recht langsam, da alle Bilder eingelesen werden müssen",
                   "Bilder in verschiedenenen Auflösungen oder Kompressionen werden nicht "
                   "erkannt"}),
            title};
    if (button == QLatin1String("Command7"))
        return InfoText{Lines({"Replace Number-Fields or Dateblocks in Filenames and Renumber:",
                               "MyPic_IMG4345234.jpg -> MyPic#1.jpg", "", "Or convert Dateblocks:",
                               "", "MyPic_IMG_20190313.jpg -> 2019-03-13MyPic#2.jpg", ""}),
                        QStringLiteral("Convert Numberblocks")};
    return std::nullopt;
}

}  // namespace kadrano
