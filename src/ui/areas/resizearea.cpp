#include "resizearea.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "imagemagick/formats.h"
#include "ui/controlfactory.h"

namespace kadrano {

namespace {

constexpr EnglishText kResizeEnglish[] = {
    {"ResizeHeader", "Resize Pictures && Change Format", "Change picture-size proportionally",
     nullptr},
    {"Frame8", "Adjust Picture size", nullptr, nullptr},
    {"SizeLabel", "Target size (Pixel):", nullptr, nullptr},
    {"MaxPixel", nullptr, "Maximum pixel-size (booth orientations) for proportional resizing",
     nullptr},
    {"QualityLabel", "JPG-Quality:", nullptr, nullptr},
    {"SizeHintLabel", "(Landscape = Width, Portrait = Height)", nullptr, nullptr},
    {"Konvertieren_Keep_Size_Check", "Only convert files - keep size", nullptr, nullptr},
    {"Delete_Old_Format_File", "..delete old formated files afterwards", nullptr, nullptr},
    {"Resize_Change_To_JPG_Check",
     "Convert format to:", "Convert to other picture formats to:", nullptr},
    {"FormatConvertCombo", nullptr, "Select output format", nullptr},
};

AreaLook resizeLook() {
    return AreaLook{
        "Frame14",
        "Picture7",
        "ResizeHeader",
        "Command14",
        QStringLiteral("Bildgröße && Format ändern"),
        QStringLiteral("Bildgröße (proportional) ändern"),
        AreaPicture::Resize,
        3615,
        true,
        {"Größe aller Bilder proportional anpassen.\n"
         "Der Max Wert gibt sowohl für Höhe als auch Breite die maximale Pixelzahl an.\n\n"
         "Die Kompressionsqualität kann zwischen 1-99 gewählt werden (99 = beste)",
         "Resizes all pictures proportionally.\n"
         "The maximum holds for height and width alike: neither side gets more pixels.\n\n"
         "The compression quality can be chosen from 1 to 99 (99 = best)"},
        kResizeEnglish};
}

}  // namespace

ResizeArea::ResizeArea(QWidget* window, AreaHost& host) : ToolArea(window, host, resizeLook()) {
    c_.resizePanel = addPanel("Frame8", QStringLiteral("Bildgröße anpassen && Konvertieren"));
    QWidget* p = c_.resizePanel;
    QGridLayout* g = grid(p);
    c_.SizeLabel = label(p, "SizeLabel", QStringLiteral("Ziel-Größe (Pixel):"));
    c_.MaxPixel = lineEdit(p, "MaxPixel", QStringLiteral("2000"), 70);
    c_.MaxPixel->setToolTip(QStringLiteral(
        "Maximale Pixelzahl (beide Ausrichtungen) für das proportionale Verkleinern"));
    c_.SizeHintLabel =
        label(p, "SizeHintLabel", QStringLiteral("(Querformat = Breite, Hochformat = Höhe)"));
    c_.QualityLabel = label(p, "QualityLabel", QStringLiteral("JPG-Qualität:"));
    c_.Qualitaet = make<QScrollBar>(p, "Qualität", Qt::Horizontal);
    c_.Qualitaet->setRange(1, 99);
    c_.Qualitaet->setPageStep(10);
    c_.Qualitaet->setSingleStep(1);
    c_.Qualitaet->setValue(95);
    c_.Qualitaet->setMinimumWidth(180);
    c_.Qualitaet->setFocusPolicy(Qt::StrongFocus);
    c_.Resize_Change_To_JPG_Check =
        make<QCheckBox>(p, "Resize_Change_To_JPG_Check", QStringLiteral("Konvertieren in:"));
    c_.Resize_Change_To_JPG_Check->setToolTip(
        QStringLiteral("In ein anderes Bildformat konvertieren"));
    c_.FormatConvertCombo = comboBox(p, "FormatConvertCombo", 110);
    c_.FormatConvertCombo->setToolTip(QStringLiteral("Ausgabeformat wählen"));
    c_.Konvertieren_Keep_Size_Check =
        make<QCheckBox>(p, "Konvertieren_Keep_Size_Check",
                        QStringLiteral("Nur Format konvertieren (Göße behalten)"));
    c_.Konvertieren_Keep_Size_Check->hide();
    c_.Delete_Old_Format_File = make<QCheckBox>(
        p, "Delete_Old_Format_File", QStringLiteral("anschließend andere Formate löschen"));
    c_.Delete_Old_Format_File->hide();
    c_.ResizeWarning =
        warningLabel(p, "ResizeWarning", QStringLiteral("Original-Dateien werden ersetzt (!)"));
    c_.StartResizeBtn =
        addStartButton(p, "StartResizeBtn", QStringLiteral("Start"), QString(), [this] {
            runResize(toolHost(), resizeOptions());
            ScriptTools(toolHost()).ShowKeptScriptButtons({&kResizeKept, 1});
        });
    c_.runKeptScript = addKeptScriptButton(
        p, kResizeKept, [this] { runKeptResizeScript(toolHost(), resizeOptions()); });

    g->addWidget(c_.SizeLabel, 0, 0);
    g->addWidget(c_.MaxPixel, 0, 1);
    g->addWidget(c_.SizeHintLabel, 0, 2, 1, 3);
    g->addWidget(c_.QualityLabel, 1, 0);
    g->addWidget(c_.Qualitaet, 1, 1, 1, 2);
    g->addWidget(c_.Resize_Change_To_JPG_Check, 2, 0);
    g->addWidget(c_.FormatConvertCombo, 2, 1);
    g->addWidget(c_.Konvertieren_Keep_Size_Check, 2, 2, 1, 3);
    g->addWidget(c_.Delete_Old_Format_File, 3, 2, 1, 3);
    g->addWidget(c_.ResizeWarning, 4, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(c_.runKeptScript);
    buttons->addWidget(c_.StartResizeBtn);
    g->addLayout(buttons, 4, 3, 1, 2, Qt::AlignRight);
    g->setColumnStretch(2, 1);
    g->setRowStretch(5, 1);

    refillLists();
    c_.FormatConvertCombo->setEditText(QStringLiteral("JPEG"));

    // Toggled, not clicked: the boxes follow the tick however it changes (the settings, a
    // screen reader).
    connect(c_.Resize_Change_To_JPG_Check, &QCheckBox::toggled, this, &ResizeArea::convertToggled);
    // Toggled, not clicked: unticking "Konvertieren in:" unticks it too.
    connect(c_.Konvertieren_Keep_Size_Check, &QCheckBox::toggled, this,
            &ResizeArea::keepSizeToggled);
    connect(c_.Qualitaet, &QScrollBar::valueChanged, this, &ResizeArea::showQuality);
    c_.Qualitaet->installEventFilter(this);
    c_.FormatConvertCombo->installEventFilter(this);
}

ResizeOptions ResizeArea::resizeOptions() const {
    ResizeOptions o;
    o.magickCommand = host_.magickPaths().MagickCommand;
    o.maxPixel = c_.MaxPixel->text();
    o.quality = c_.Qualitaet->value();
    o.convert = c_.Resize_Change_To_JPG_Check->isChecked();
    o.format = c_.FormatConvertCombo->currentText();
    // The two boxes count only while they are offered (while converting).
    o.keepSize = !c_.Konvertieren_Keep_Size_Check->isHidden() &&
                 c_.Konvertieren_Keep_Size_Check->isChecked();
    o.deleteOld = !c_.Delete_Old_Format_File->isHidden() && c_.Delete_Old_Format_File->isChecked();
    return o;
}

void ResizeArea::convertToggled(bool on) {
    if (!on) {
        c_.Konvertieren_Keep_Size_Check->setChecked(false);
        c_.Delete_Old_Format_File->setChecked(false);
    }
    c_.Konvertieren_Keep_Size_Check->setVisible(on);
    c_.Delete_Old_Format_File->setVisible(on);
    if (!toolHost().loading())
        toolHost().saveSettings();
}

void ResizeArea::keepSizeToggled(bool on) {
    c_.MaxPixel->setEnabled(!on);
    QPalette p = c_.SizeLabel->palette();
    p.setColor(QPalette::WindowText, on ? QColor(128, 128, 128) : QColor(Qt::black));
    c_.SizeLabel->setPalette(p);
}

void ResizeArea::showQuality(int value) {
    c_.QualityLabel->setText(
        pick(toolHost().language(), QStringLiteral("Qualität: "), QStringLiteral("Quality: ")) +
        QString::number(value) + QStringLiteral(" %"));
}

void ResizeArea::MatchOutputFormat() {
    QComboBox* box = c_.FormatConvertCombo;
    const FormatMatch match = kadrano::MatchOutputFormat(box->currentText(), outputFormats());
    const int row = box->findText(match.text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (row >= 0)
        box->setCurrentIndex(row);
    box->setEditText(match.text);
    if (!match.found)
        ScriptTools(toolHost()).AskUser(unknownFormatMessage(), Mb::OK | Mb::IconError);
}

bool ResizeArea::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == c_.Qualitaet)
            c_.QualityLabel->setText(QStringLiteral("JPG-Qualität:"));
        // A focus that only moves into the list of the box does not leave it.
        else if (watched == c_.FormatConvertCombo && !c_.FormatConvertCombo->view()->isVisible())
            MatchOutputFormat();
    }
    return ToolArea::eventFilter(watched, event);
}

void ResizeArea::refillLists() {
    const QString text = c_.FormatConvertCombo->currentText();
    c_.FormatConvertCombo->clear();
    c_.FormatConvertCombo->addItems(outputFormats());
    c_.FormatConvertCombo->setEditText(text);
}

}  // namespace kadrano
