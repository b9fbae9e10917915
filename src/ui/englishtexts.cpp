#include "englishtexts.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "imagemagick/colours.h"
#include "imagemagick/magickpath.h"

namespace kadrano {

namespace {

constexpr EnglishText kEnglish[] = {
    // Resize and convert
    {"Konvertieren_Keep_Size_Check", "Only convert files - keep size", nullptr, nullptr},
    {"Delete_Old_Format_File", "..delete old formated files afterwards", nullptr, nullptr},
    {"Resize_Change_To_JPG_Check",
     "Convert format to:", "Convert to other picture formats to:", nullptr},
    {"FormatConvertCombo", nullptr, "Select output format", nullptr},
    // Area headers
    {"ResizeHeader", "Resize Pictures && Change Format", "Change picture-size proportionally",
     nullptr},
    {"OrientationHeader", "Picture Orientation (Landscape / Portrait)",
     "Change, detect or fix picture-orientation", nullptr},
    {"RenameHeader", "Rename Pictures", "Different file-renaming options", nullptr},
    {"TextHeader", "Add Text Into Picture", "Add text into the picture", nullptr},
    {"ShuffleHeader", "Shuffle Pictures", "Shuffle picutres by name or date", nullptr},
    {"DoppelteHeader", "Detect Doubles", "Detect double pictures and mark / delete them", nullptr},
    {"DatumHeader", "Date && Time", "Get date from file or filename", nullptr},
    // Top strip, previews, bottom strip
    {"DragDropPic", nullptr, "Drag&&Drop picture directory here..", nullptr},
    {"Drive1", nullptr, "Select drive", nullptr},
    {"Text1", nullptr, "Picture directory", nullptr},
    {"Command4", nullptr, "Select directory..", nullptr},
    {"DubDir_Check", "Incl. Sub-Directories", "Include all files in sub-directories", nullptr},
    {"VorschauPic", nullptr, "Preview - Click to enlarge", nullptr},
    {"Vorschau", nullptr,
     "Left click = next scroll,  Right click: open exoplorer with path of the picture.", nullptr},
    {"KeineNachfragen", "Disable confirmation messages", nullptr, nullptr},
    {"BatPAuse", "Add 'Pause' at end of Bat-Files", nullptr, nullptr},
    {"SaveIniBtn", "Save", nullptr, nullptr},
    {"ExitBtn", "Exit", nullptr, nullptr},
    {"UndoBtn", "Undo", nullptr, nullptr},
    // Resize panel
    {"Frame8", "Adjust Picture size", nullptr, nullptr},
    {"SizeLabel", "Target size (Pixel):", nullptr, nullptr},
    {"MaxPixel", nullptr, "Maximum pixel-size (booth orientations) for proportional resizing",
     nullptr},
    {"QualityLabel", "JPG-Quality:", nullptr, nullptr},
    {"SizeHintLabel", "(Landscape = Width, Portrait = Height)", nullptr, nullptr},
    // Orientation
    {"Frame10", "Fix Orientation", nullptr, nullptr},
    {"ExifLabel", "Rotation of JPGs, based on the EXIF-data (if existing)", nullptr, nullptr},
    {"ImageWarning2", "This function needs ImageMagic(!)", nullptr, nullptr},
    {"OrientationWarning", "Original files will get replaced!!", nullptr, nullptr},
    {"Frame2", "Add format-tag to filename", nullptr, nullptr},
    {"LinksAnfügen_LAndscape", "Add right side", "Add Tag on the right side of the Filename",
     nullptr},
    {"RestoreOrigin", "Restore", nullptr, nullptr},
    {"LAndscaptTxt", nullptr, nullptr, "[LS]"},
    {"PortraitTxt", nullptr, nullptr, "[PT]"},
    // Custom rename
    {"Frame11", "Rename Files", nullptr, nullptr},
    {"Rename_UnwantedChars", "Remove unusual characters", nullptr, nullptr},
    {"RenameLeftLabel", "Add left side:", nullptr, nullptr},
    {"RenameRightLabel", "Add right side:", nullptr, nullptr},
    {"RenameReplaceLabel", "Replace:", nullptr, nullptr},
    {"RenameWithLabel", ".. With:  ", nullptr, nullptr},
    {"Umben_VerzLinksAnf", "Add the directory name:  (Left)",
     "The Directory-Name of the File is added to the Filename", nullptr},
    {"Umben_VerzRechtsAnf", "(Right)", "Add Directory-Name to the right (instead of left) side",
     nullptr},
    // Text into pictures
    {"REmoveNumbers", "No filename optimization",
     "Shorten filname by cutting all numers, double-spaces by trying to keeping the Date and "
     "important infos",
     nullptr},
    {"OriginalNamen", "If result is empty, add original filename",
     "If the filanme only has numbers and the result is empty add the original filename (eg: "
     "IMG1234.jpg -> IMG1234)",
     nullptr},
    {"CopyNoticeLabel", "Originals are save - Files get copied", nullptr, nullptr},
    {"KeinDAteinameText", "Don't use Filenames", "Don't add filenames - only use the free text",
     nullptr},
    {"SchriftGr", nullptr,
     "The Size depends on the resolution - for best results all Pictures should have almost the "
     "same size",
     nullptr},
    {"ErsetzenVon", nullptr, "This text gets replaced if found in the Filename", nullptr},
    {"ErsetzenMit", nullptr, "This is the replacement text", nullptr},
    {"Frame9", "Add Text or Filename to Picture", nullptr, nullptr},
    {"TextPreviewLabel", "Text preview:", nullptr, nullptr},
    {"ImageWarning1", "This Function needs ImageMagic(!)", nullptr, nullptr},
    {"FreeTextLabel", "Add free Text:", nullptr, nullptr},
    {"FreiText_Bild", nullptr, "Enter Additional text here..", nullptr},
    {"FreiTextLinksCheck", "Add on the left", nullptr, nullptr},
    {"KursivCheck", "Italic", nullptr, nullptr},
    {"FettCheck", "Bold", nullptr, nullptr},
    {"SchriftenAktBtn", "Reload fonts", "Re-import Image-Magick Fontlist", nullptr},
    // Shuffle names and dates
    {"Frame3", "Shuffle Filenames", nullptr, nullptr},
    {"RandomNumberLabel", "Add a random number (4 digits) to the name", nullptr, nullptr},
    {"SeparatorLabel", "Seperator:", nullptr, nullptr},
    {"Command2", "Restore", nullptr, nullptr},
    {"DateShuffleWarning", "Warning: overwrites the date (\"Undo\" puts it back)", nullptr,
     nullptr},
    {"BaseDateLabel", "Base-Date to shuffle arround:", nullptr, nullptr},
    {"DateShuffleTitleLabel", "Shuffle creation Time / Dates", nullptr, nullptr},
    {"Frame15", "Shuffle File Dates", nullptr, nullptr},
    // Duplicates
    {"DoppelteInnenFrame", "Find, mark or delete double existing Files", nullptr, nullptr},
    {"DoppelteMethodLabel", "Detect doubles using Checksum (slow!)", nullptr, nullptr},
    {"DoppelteMarkLabel", "Mark doubles:", nullptr, nullptr},
    {"DoppelteAbbruch", "Cancel = ESC", nullptr, nullptr},
    {"DoppelteWarnung", "Warning: Original Files will be deleted (!)", nullptr, nullptr},
    {"DoublettenCheck", "Delete file-doubles (Careful!)", nullptr, nullptr},
    // Dates
    {"Frame18", "Date -> Filename", nullptr, nullptr},
    {"DateToNameLabel", "Add File Creation-Date to the Filename", nullptr, nullptr},
    {"Command28", "Restore", nullptr, nullptr},
    {"Frame17", "Change Filedate", nullptr, nullptr},
    {"SetDateLabel", "Overwrite creation date of the files", nullptr, nullptr},
    {"DatumDateinameNutzen", "Recover date from filename", nullptr, nullptr},
    {"DatumAusVerzNamen", "Recover Date from name of directory", nullptr, nullptr},
    {"FixDatumWennKeinsGefundenCheck", "If no date found use                  instead", nullptr,
     nullptr},
    {"Warnung2", "Warning: overwrites the date (\"Undo\" puts it back)", nullptr, nullptr},
    {"TrennzDatetxt", nullptr, "Seperator between name and date", nullptr},
    {"AufnahmedatumExifCheck", "Use date taken (EXIF)",
     "The date the picture was taken (from the picture itself) comes first: before the file "
     "date for \"Date -> Filename\", before file name, directory name and fixed date for "
     "\"Change Filedate\". Pictures without it keep to the other rules.",
     nullptr},
};

constexpr AreaHead kAreaHeads[] = {
    {"Picture7", "ResizeHeader"},    {"Picture6", "OrientationHeader"},
    {"Picture8", "RenameHeader"},    {"Picture5", "TextHeader"},
    {"WÜrfelBild", "ShuffleHeader"}, {"DoppeltePicture", "DoppelteHeader"},
    {"DatumPic", "DatumHeader"},
};

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Where a "&" is no mnemonic sign (tooltips, labels without a buddy) the doubled one is
// written as it shows.
QString plainAmpersands(const QString& s) {
    QString t = s;
    return t.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

void setCaption(QWidget* w, const QString& caption) {
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(caption);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(caption);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(l->buddy() ? caption : plainAmpersands(caption));
    else if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(caption);
}

void setText(QWidget* w, const QString& value) {
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(value);
    else if (auto* c = qobject_cast<QComboBox*>(w))
        c->setEditText(value);
    else
        setCaption(w, value);
}

}  // namespace

std::span<const EnglishText> EnglishTexts() {
    return kEnglish;
}
std::span<const AreaHead> AreaHeads() {
    return kAreaHeads;
}

void ApplyEnglishTexts(QWidget& window) {
    auto find = [&window](const char* name) {
        return window.findChild<QWidget*>(QString::fromUtf8(name));
    };

    for (const EnglishText& e : kEnglish) {
        QWidget* w = find(e.control);
        if (!w)
            continue;
        if (e.caption)
            setCaption(w, text(e.caption));
        if (e.tooltip)
            w->setToolTip(plainAmpersands(text(e.tooltip)));
        if (e.text)
            setText(w, text(e.text));
    }

    for (const AreaHead& a : kAreaHeads) {
        QWidget* icon = find(a.icon);
        QWidget* header = find(a.header);
        if (icon && header)
            icon->setToolTip(header->toolTip());
    }

    if (auto* status = window.findChild<QLabel*>(QStringLiteral("FileStatus")))
        status->setText(
            status->text().replace(QStringLiteral("Gefunden"), QStringLiteral("Found")));
    window.setWindowTitle(
        window.windowTitle().replace(QStringLiteral("Kadrano für digitale Bilderrahmen"),
                                     QStringLiteral("Kadrano for digital picture-frames")));

    if (auto* path = window.findChild<QLineEdit*>(QStringLiteral("ImageMagicPath"))) {
        if (!NamesExistingFile(path->text())) {
            path->setText(text(kMagickPathHintEnglish));
            path->setCursorPosition(0);
        }
    }
}

void UseEnglishColourNames(ColourTable& colours, QComboBox& list) {
    // The chosen colour keeps its row; only its name changes.
    const QString typed = list.currentText();
    const int chosenRow = colours.findRow(typed);
    colours.useEnglishNames();
    list.clear();
    list.addItems(colours.listNames());
    const QString chosen = chosenRow >= 0 ? colours.row(chosenRow).name : typed;
    const int index = list.findText(chosen);
    if (index >= 0)
        list.setCurrentIndex(index);
    list.setEditText(chosen);
}

}  // namespace kadrano
