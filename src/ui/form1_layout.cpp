#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "alwaysontop.h"
#include "areaicon.h"
#include "clickablelabel.h"
#include "fieldcheckbox.h"
#include "form1.h"
#include "form1geometry.h"
#include "icons.h"
#include "imagemagick/formats.h"
#include "twips.h"

// The window's controls: what each one is called, says and shows, and where it sits.

namespace kadrano {

namespace {

template <typename W, typename... Args>
W* make(QWidget* parent, const char* name, Args&&... args) {
    auto* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(QString::fromUtf8(name));
    return w;
}

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = make<QLabel>(parent, name, text);
    return l;
}

QLabel* warningLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = label(parent, name, text);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(192, 0, 0));
    l->setPalette(p);
    return l;
}

QGroupBox* panel(QWidget* parent, const char* name, const QString& title) {
    auto* g = make<QGroupBox>(parent, name, title);
    return g;
}

QGridLayout* grid(QWidget* panel) {
    auto* g = new QGridLayout(panel);
    g->setContentsMargins(8, 4, 8, 6);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(4);
    return g;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& text, int width = 0) {
    auto* e = make<QLineEdit>(parent, name, text);
    if (width > 0)
        e->setFixedWidth(width);
    return e;
}

QComboBox* comboBox(QWidget* parent, const char* name, int width = 0) {
    auto* c = make<QComboBox>(parent, name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMaxVisibleItems(20);
    if (width > 0)
        c->setFixedWidth(width);
    return c;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text,
                    const QString& tooltip = QString()) {
    auto* b = make<QPushButton>(parent, name, text);
    if (!tooltip.isEmpty())
        b->setToolTip(tooltip);
    b->setMinimumWidth(80);
    return b;
}

QPushButton* infoButton(QWidget* parent, const char* name) {
    auto* b = make<QPushButton>(parent, name, QStringLiteral("?"));
    b->setFixedSize(26, 24);
    return b;
}

// The buttons that run a script kept in the folder: hidden until there is one.
QPushButton* runScriptButton(QWidget* parent, const char* name) {
    auto* b = make<QPushButton>(parent, name);
    b->setIcon(RunScriptIcon());
    b->setToolTip(QStringLiteral("Erstellte Bat-Datei jetzt ausführen und Umbenennen starten."));
    b->setFixedSize(30, 26);
    b->hide();
    return b;
}

ClickableLabel* linkLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = make<ClickableLabel>(parent, name, text);
    QFont f = l->font();
    f.setUnderline(true);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 204));
    l->setPalette(p);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

}  // namespace

void Form1::buildControls() {
    setAcceptDrops(true);
    buildTopStrip();
    buildNameStrip();
    buildAreas();
    buildBottomStrip();
    buildCameraArea();
    buildPicker();

    // Directly on the window, above the strips and areas.
    c_.VorschauPic = make<ClickableLabel>(this, "VorschauPic");
    c_.VorschauPic->setToolTip(QStringLiteral("Vorschau (Klick zum Vergrößern)"));
    c_.VorschauPic->setFrameShape(QFrame::Box);
    c_.VorschauPic->setScaledContents(true);
    c_.VorschauPic->setAutoFillBackground(true);
    c_.VorschauPic->setCursor(Qt::PointingHandCursor);
    c_.VorschauPic->setGeometry(smallPreviewGeometry());

    c_.DragDropPic = make<ClickableLabel>(this, "DragDropPic");
    c_.DragDropPic->setToolTip(QStringLiteral("Bild-Verzeichnis hier hinziehen"));
    c_.DragDropPic->setPixmap(DropFolderPixmap(geometry::kDropPictureSize));
    c_.DragDropPic->resize(geometry::kDropPictureSize);

    c_.Picture1 = make<QLabel>(this, "Picture1");
    c_.Picture1->hide();

    c_.VorschauPic->raise();
    c_.DragDropPic->raise();
    c_.VerzBaum_Frame->raise();

    fillOutputFormatList();
    c_.FormatConvertCombo->setEditText(QStringLiteral("JPEG"));
    fillDriveList();

    resize(Px(geometry::kWindowWidth), height());
    bottomStripWidth_ = width();
    c_.BeendenFrame->resize(bottomStripWidth_, Px(geometry::kBottomStripHeight));
    CollapseAllAreas();
    StackAreas();
    LayoutOnResize();
}

void Form1::buildTopStrip() {
    c_.Frame5 = make<QFrame>(this, "Frame5");
    c_.Frame5->setFrameShape(QFrame::StyledPanel);
    c_.Frame5->setGeometry(0, 0, width(), Px(geometry::kTopStripHeight));
    QWidget* f = c_.Frame5;

    c_.Text1 = lineEdit(f, "Text1", QStringLiteral("C:\\"));
    c_.Text1->setToolTip(QStringLiteral("Bilder-Verzeichnis"));
    c_.Command4 = make<QPushButton>(f, "Command4", QStringLiteral(".."));
    c_.Command4->setToolTip(QStringLiteral("Verzeichnis auswählen"));
    c_.Drive1 = make<QComboBox>(f, "Drive1");
    c_.Drive1->setToolTip(QStringLiteral("Laufwerks-Auswahl"));
    c_.Drive1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c_.Drive1->setMinimumContentsLength(12);
    c_.Command11 = infoButton(f, "Command11");

    c_.Combo2 = comboBox(f, "Combo2");
    c_.DubDir_Check = make<QCheckBox>(f, "DubDir_Check", QStringLiteral("Auch Unterverzeichnisse"));
    c_.DubDir_Check->setToolTip(QStringLiteral("Alle Dateien in Unterverzeichnissen einbeziehen"));

    c_.SwitchLAnguage_Label = make<QPushButton>(f, "SwitchLAnguage_Label");
    c_.SwitchLAnguage_Label->setToolTip(QStringLiteral("Switch Language / Sprache wechseln"));
    c_.SwitchLAnguage_Label->setFlat(true);
    c_.SwitchLAnguage_Label->setIcon(QIcon(EnglishFlagPixmap(geometry::kFlagSize)));
    c_.SwitchLAnguage_Label->setIconSize(geometry::kFlagSize);
    c_.SwitchLAnguage_Label->setFixedSize(geometry::kFlagSize + QSize(8, 6));
    c_.DE_Flag = make<QLabel>(f, "DE_Flag");
    c_.DE_Flag->setPixmap(GermanFlagPixmap(geometry::kFlagSize));
    c_.DE_Flag->hide();

    c_.AlwaysOnTop1 = make<AlwaysOnTop>(f, "AlwaysOnTop1");
    c_.AlwaysOnTop1->setSettingsFile(paths_.settingsPath());
    c_.Label42 = linkLabel(f, "Label42", QStringLiteral("Homepage"));
    c_.Label13 = linkLabel(f, "Label13", QStringLiteral("Update"));
    c_.Label13->hide();
}

void Form1::buildNameStrip() {
    c_.Frame7 = make<QFrame>(this, "Frame7");
    c_.Frame7->setFrameShape(QFrame::StyledPanel);
    c_.Frame7->resize(width(), Px(geometry::kNameStripHeight));
    QWidget* f = c_.Frame7;

    c_.Vorschau = make<ClickableLabel>(f, "Vorschau", QStringLiteral("Vorschau Dateiname"));
    c_.Vorschau->setToolTip(QStringLiteral(
        "Mausklick um durch Liste zu gehen, Rechtsklick um das Verzeichnis im Explorer zu "
        "öffnen, "));
    c_.Vorschau->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    c_.Vorschau->setFrameShape(QFrame::StyledPanel);
    c_.Vorschau->setFrameShadow(QFrame::Sunken);
    c_.Vorschau->setAutoFillBackground(true);
    c_.Vorschau->setBackgroundRole(QPalette::Base);
    c_.Vorschau->setMargin(1);
    c_.Vorschau->setCursor(Qt::PointingHandCursor);
    // A page of six names has to fit the strip's height whatever the desktop's font is.
    QFont small = c_.Vorschau->font();
    const int room = Px(geometry::kNameStripHeight) - 6 - 2 * c_.Vorschau->frameWidth() -
                     2 * c_.Vorschau->margin() - 4;
    small.setPointSizeF(small.pointSizeF() - 1);
    while (small.pointSizeF() > 6 && QFontMetrics(small).lineSpacing() * 6 > room)
        small.setPointSizeF(small.pointSizeF() - 0.5);
    c_.Vorschau->setFont(small);

    c_.FileStatus =
        make<ClickableLabel>(f, "FileStatus", QStringLiteral("Keine Dateien gefunden!"));
    c_.FileStatus->setToolTip(
        QStringLiteral("Doppelklick erstellt und öffenet eine Liste aller gefundenen Dateien"));
    QFont bold = c_.FileStatus->font();
    bold.setBold(true);
    c_.FileStatus->setFont(bold);
    c_.FileStatus->setCursor(Qt::PointingHandCursor);

    c_.ImageMagicPath = lineEdit(
        f, "ImageMagicPath",
        QStringLiteral("Pfad zu ImageMagic (magick.exe) hier eintragen   (Drag&Drop der .exe geht "
                       "auch..)"));
    c_.ImageMagicPath->setCursorPosition(0);
}

Form1::ToolArea& Form1::addArea(const char* frameName, const char* iconName, const char* headerName,
                                const QString& caption, const QString& tooltip, AreaPicture picture,
                                int openHeight, bool coversDropPicture) {
    ToolArea a;
    a.frame = make<QFrame>(this, frameName);
    a.frame->setFrameShape(QFrame::StyledPanel);
    a.frame->resize(width(), Px(geometry::kCollapsedHeight));
    a.openHeight = openHeight;
    a.coversDropPicture = coversDropPicture;

    a.icon = make<AreaIcon>(a.frame, iconName);
    a.icon->setPixmap(AreaIconPixmap(picture, geometry::kAreaIconSize));
    a.icon->setToolTip(tooltip);
    a.icon->setGeometry(geometry::kAreaIconRect);

    a.header = make<ClickableLabel>(a.frame, headerName, caption);
    a.header->setToolTip(tooltip);
    QFont f = a.header->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() + 1);
    a.header->setFont(f);
    a.header->setCursor(Qt::PointingHandCursor);
    // With a buddy the label shows "&&" as a single "&", as the captions are written.
    a.header->setBuddy(a.icon);

    a.body = make<QWidget>(a.frame, (QByteArray(frameName) + "_Body").constData());
    auto* row = new QHBoxLayout(a.body);
    row->setSizeConstraint(QLayout::SetNoConstraint);
    // The frame reaches past the window's right edge; keep the panels inside the window.
    row->setContentsMargins(8, 0, 8 + Px(geometry::kStripOverhang), 6);
    row->setSpacing(8);

    areas_.push_back(a);
    return areas_.back();
}

void Form1::buildAreas() {
    areas_.reserve(7);
    using geometry::kOpenHeights;

    // 1: resize and convert
    {
        const QString tip = QStringLiteral("Bildgröße (proportional) ändern");
        ToolArea& a = addArea("Frame14", "Picture7", "ResizeHeader",
                              QStringLiteral("Bildgröße && Format ändern"), tip,
                              AreaPicture::Resize, kOpenHeights[0], true);
        c_.Frame14 = a.frame;
        c_.Picture7 = a.icon;
        c_.ResizeHeader = a.header;
        c_.Command14 = infoButton(a.frame, "Command14");
        a.info = c_.Command14;

        c_.Frame8 = panel(a.body, "Frame8", QStringLiteral("Bildgröße anpassen && Konvertieren"));
        a.innerPanels = {c_.Frame8};
        a.body->layout()->addWidget(c_.Frame8);
        QWidget* p = c_.Frame8;
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
        c_.StartResizeBtn = button(p, "StartResizeBtn", QStringLiteral("Start"));
        c_.Command17 = runScriptButton(p, "Command17");

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
        buttons->addWidget(c_.Command17);
        buttons->addWidget(c_.StartResizeBtn);
        g->addLayout(buttons, 4, 3, 1, 2, Qt::AlignRight);
        g->setColumnStretch(2, 1);
        g->setRowStretch(5, 1);
    }

    // 2: orientation (EXIF turning and orientation tags)
    {
        const QString tip = QStringLiteral(
            "Bildausrichtung korrigieren / Ausrichtung ermitteln und Namen hinzufügen");
        ToolArea& a = addArea("Frame4", "Picture6", "OrientationHeader",
                              QStringLiteral("Bildausrichtung (Hoch- && Querformat)"), tip,
                              AreaPicture::Orientation, kOpenHeights[1], true);
        c_.Frame4 = a.frame;
        c_.Picture6 = a.icon;
        c_.OrientationHeader = a.header;
        c_.Command3 = infoButton(a.frame, "Command3");
        a.info = c_.Command3;

        c_.Frame10 = panel(a.body, "Frame10", QStringLiteral("Ausrichtung-Korrektur"));
        {
            QWidget* p = c_.Frame10;
            QGridLayout* g = grid(p);
            c_.ExifLabel = label(p, "ExifLabel",
                                 QStringLiteral("Drehen / Ausrichten von JPGs auf Basis der "
                                                "EXIF-Daten (wenn im Bild vorhanden)"));
            c_.ExifLabel->setWordWrap(true);
            c_.ImageWarning2 =
                warningLabel(p, "ImageWarning2", QStringLiteral(" ImageMagic wird benötigt!"));
            c_.OrientationWarning = warningLabel(
                p, "OrientationWarning", QStringLiteral("Original-Dateien werden ersetzt (!)"));
            c_.ImageMagic_Btn_Drehen = button(p, "ImageMagic_Btn_Drehen", QStringLiteral("Start"));
            c_.Command12 = infoButton(p, "Command12");
            g->addWidget(c_.ExifLabel, 0, 0, 1, 3);
            g->addWidget(c_.ImageWarning2, 1, 0, 1, 3);
            g->addWidget(c_.OrientationWarning, 2, 0, 1, 3);
            g->addWidget(c_.Command12, 3, 0, Qt::AlignLeft | Qt::AlignBottom);
            g->addWidget(c_.ImageMagic_Btn_Drehen, 3, 2, Qt::AlignRight | Qt::AlignBottom);
            g->setColumnStretch(1, 1);
            g->setRowStretch(3, 1);
        }
        c_.Frame2 = panel(a.body, "Frame2", QStringLiteral("Format an Datei-Namen anfügen"));
        {
            QWidget* p = c_.Frame2;
            QGridLayout* g = grid(p);
            c_.PortraitLabel = label(p, "PortraitLabel", QStringLiteral("Hochformat:"));
            c_.PortraitTxt = lineEdit(p, "PortraitTxt", QStringLiteral("[HF]"), 64);
            c_.LandscapeLabel = label(p, "LandscapeLabel", QStringLiteral("Querformat:"));
            c_.LAndscaptTxt = lineEdit(p, "LAndscaptTxt", QStringLiteral("[QF]"), 64);
            c_.LinksAnfuegen_LAndscape =
                make<QCheckBox>(p, "LinksAnfügen_LAndscape", QStringLiteral("Rechts anfügen"));
            c_.LinksAnfuegen_LAndscape->setToolTip(
                QStringLiteral("Tag auf der linken / rechten Seite des Dateinamens einfügen"));
            c_.Btn_FileAttrib = button(p, "Btn_FileAttrib", QStringLiteral("Start "));
            c_.Command8 = runScriptButton(p, "Command8");
            c_.RestoreOrigin = button(p, "RestoreOrigin", QStringLiteral("Wiederherstellen"));
            c_.RestoreOrigin_BAT = runScriptButton(p, "RestoreOrigin_BAT");
            c_.Command6 = infoButton(p, "Command6");
            g->addWidget(c_.PortraitLabel, 0, 0);
            g->addWidget(c_.PortraitTxt, 0, 1);
            g->addWidget(c_.LandscapeLabel, 0, 2, Qt::AlignRight);
            g->addWidget(c_.LAndscaptTxt, 0, 3);
            g->addWidget(c_.LinksAnfuegen_LAndscape, 1, 0, 1, 4);
            auto* buttons = new QHBoxLayout;
            buttons->setSpacing(4);
            buttons->addWidget(c_.Command6);
            buttons->addStretch(1);
            buttons->addWidget(c_.Command8);
            buttons->addWidget(c_.Btn_FileAttrib);
            buttons->addWidget(c_.RestoreOrigin_BAT);
            buttons->addWidget(c_.RestoreOrigin);
            g->addLayout(buttons, 2, 0, 1, 4, Qt::AlignBottom);
            g->setColumnStretch(2, 1);
            g->setRowStretch(2, 1);
        }
        a.innerPanels = {c_.Frame10, c_.Frame2};
        a.body->layout()->addWidget(c_.Frame10);
        a.body->layout()->addWidget(c_.Frame2);
        static_cast<QHBoxLayout*>(a.body->layout())->setStretch(0, 4);
        static_cast<QHBoxLayout*>(a.body->layout())->setStretch(1, 5);
    }

    // 3: custom rename
    {
        const QString tip = QStringLiteral("Dateinamen umbenennen");
        ToolArea& a =
            addArea("Frame12", "Picture8", "RenameHeader", QStringLiteral("Bilder umbenennen"), tip,
                    AreaPicture::Rename, kOpenHeights[2], true);
        c_.Frame12 = a.frame;
        c_.Picture8 = a.icon;
        c_.RenameHeader = a.header;
        c_.Command15 = infoButton(a.frame, "Command15");
        a.info = c_.Command15;

        c_.Frame11 = panel(a.body, "Frame11", QStringLiteral("Dateinamen ändern"));
        a.innerPanels = {c_.Frame11};
        a.body->layout()->addWidget(c_.Frame11);
        QWidget* p = c_.Frame11;
        QGridLayout* g = grid(p);
        c_.RenameLeftLabel = label(p, "RenameLeftLabel", QStringLiteral("Links anfügen:"));
        c_.Umben_LinksAnf = lineEdit(p, "Umben_LinksAnf", QString());
        c_.RenameRightLabel = label(p, "RenameRightLabel", QStringLiteral("Rechts anfügen:"));
        c_.Umben_RechtsAnf = lineEdit(p, "Umben_RechtsAnf", QString());
        c_.RenameReplaceLabel = label(p, "RenameReplaceLabel", QStringLiteral("Ersetze:"));
        c_.Umben_ErsetzenVon = lineEdit(p, "Umben_ErsetzenVon", QString());
        c_.RenameWithLabel = label(p, "RenameWithLabel", QStringLiteral("durch:"));
        c_.Umben_ErsetzenMit = lineEdit(p, "Umben_ErsetzenMit", QString());
        c_.Umben_VerzLinksAnf = make<QCheckBox>(
            p, "Umben_VerzLinksAnf", QStringLiteral("Verzeichnisnamen anfügen:  (links)"));
        c_.Umben_VerzLinksAnf->setToolTip(
            QStringLiteral("Der Name des Verzeichnisses der Datei wird dem Dateinamen angefügt"));
        c_.Umben_VerzRechtsAnf =
            make<QCheckBox>(p, "Umben_VerzRechtsAnf", QStringLiteral("(rechts)"));
        c_.Umben_VerzRechtsAnf->setToolTip(
            QStringLiteral("Verzeichnisnamen auf der rechten Seite anfügen (statt links)"));
        c_.Rename_UnwantedChars = make<QCheckBox>(p, "Rename_UnwantedChars",
                                                  QStringLiteral("Ungültige Zeichen entfernen"));
        c_.UmbOrig_Lab = make<QLabel>(p, "UmbOrig_Lab");
        c_.UmbNeu_Lab = make<QLabel>(p, "UmbNeu_Lab");
        for (QLabel* l : {c_.UmbOrig_Lab, c_.UmbNeu_Lab}) {
            l->setFrameShape(QFrame::StyledPanel);
            l->setFrameShadow(QFrame::Sunken);
            l->setAutoFillBackground(true);
            l->setBackgroundRole(QPalette::Base);
            l->setMargin(2);
            l->setMinimumWidth(120);
            l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        }
        auto* arrow = label(p, "RenamePreviewArrow", QStringLiteral("->"));
        c_.Umben_Start =
            button(p, "Umben_Start", QStringLiteral("Start"), QStringLiteral("Umbenennen starten"));
        c_.Command18 = runScriptButton(p, "Command18");

        g->addWidget(c_.RenameLeftLabel, 0, 0);
        g->addWidget(c_.Umben_LinksAnf, 0, 1);
        g->addWidget(c_.RenameRightLabel, 0, 2);
        g->addWidget(c_.Umben_RechtsAnf, 0, 3, 1, 2);
        g->addWidget(c_.RenameReplaceLabel, 1, 0);
        g->addWidget(c_.Umben_ErsetzenVon, 1, 1);
        g->addWidget(c_.RenameWithLabel, 1, 2, Qt::AlignRight);
        g->addWidget(c_.Umben_ErsetzenMit, 1, 3, 1, 2);
        auto* checks = new QHBoxLayout;
        checks->setSpacing(12);
        checks->addWidget(c_.Umben_VerzLinksAnf);
        checks->addWidget(c_.Umben_VerzRechtsAnf);
        checks->addStretch(1);
        checks->addWidget(c_.Rename_UnwantedChars);
        g->addLayout(checks, 2, 0, 1, 5);
        auto* preview = new QHBoxLayout;
        preview->addWidget(c_.UmbOrig_Lab, 1);
        preview->addWidget(arrow);
        preview->addWidget(c_.UmbNeu_Lab, 1);
        g->addLayout(preview, 3, 0, 1, 4);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(c_.Command18);
        buttons->addWidget(c_.Umben_Start);
        g->addLayout(buttons, 3, 4, Qt::AlignRight);
        g->setColumnStretch(1, 1);
        g->setColumnStretch(3, 1);
        g->setRowStretch(4, 1);
    }

    // 4: text into pictures
    {
        const QString tip = QStringLiteral("Dateinamen als Text ins Bild einfügen");
        ToolArea& a =
            addArea("IrfanFrame", "Picture5", "TextHeader", QStringLiteral("Text in Bild einfügen"),
                    tip, AreaPicture::Text, kOpenHeights[3], true);
        c_.IrfanFrame = a.frame;
        c_.Picture5 = a.icon;
        c_.TextHeader = a.header;
        c_.Command13 = infoButton(a.frame, "Command13");
        a.info = c_.Command13;

        c_.Frame9 = panel(a.body, "Frame9", QStringLiteral("Dateinamen / Text in Bild einfügen"));
        a.innerPanels = {c_.Frame9};
        a.body->layout()->addWidget(c_.Frame9);
        QWidget* p = c_.Frame9;
        QGridLayout* g = grid(p);

        c_.ColourLabel = label(p, "ColourLabel", QStringLiteral("Textfarbe:"));
        c_.TextfarbeCOmbo = comboBox(p, "TextfarbeCOmbo", 120);
        c_.FontLabel = label(p, "FontLabel", QStringLiteral("Schriftart:"));
        c_.SchriftartCombo = comboBox(p, "SchriftartCombo", 190);
        c_.FontSizeLabel = label(p, "FontSizeLabel", QStringLiteral("Größe:"));
        c_.SchriftGr = comboBox(p, "SchriftGr", 64);
        c_.SchriftGr->setToolTip(QStringLiteral(
            "Die Größe hängt von der Auflösung ab - für gute Ergebnisse sollten alle Bilder "
            "etwa gleich groß sein"));
        c_.FettCheck = make<QCheckBox>(p, "FettCheck", QStringLiteral("Fett"));
        c_.KursivCheck = make<QCheckBox>(p, "KursivCheck", QStringLiteral("Kursiv"));
        c_.SchriftenAktBtn = button(p, "SchriftenAktBtn", QStringLiteral("Schriften neu laden"),
                                    QStringLiteral("Schriften neu importieren"));
        auto* colourRow = new QHBoxLayout;
        colourRow->setSpacing(6);
        colourRow->addWidget(c_.TextfarbeCOmbo);
        colourRow->addSpacing(12);
        colourRow->addWidget(c_.FontLabel);
        colourRow->addWidget(c_.SchriftartCombo);
        colourRow->addStretch(1);
        colourRow->addWidget(c_.SchriftenAktBtn);
        g->addWidget(c_.ColourLabel, 0, 0);
        g->addLayout(colourRow, 0, 1, 1, 3);
        auto* sizeRow = new QHBoxLayout;
        sizeRow->setSpacing(12);
        sizeRow->addWidget(c_.SchriftGr);
        sizeRow->addWidget(c_.FettCheck);
        sizeRow->addWidget(c_.KursivCheck);
        sizeRow->addStretch(1);
        g->addWidget(c_.FontSizeLabel, 1, 0);
        g->addLayout(sizeRow, 1, 1, 1, 3);

        c_.FreeTextLabel = label(p, "FreeTextLabel", QStringLiteral("Text-Zusatz:"));
        c_.FreiText_Bild = lineEdit(p, "FreiText_Bild", QString());
        c_.FreiText_Bild->setToolTip(QStringLiteral("Zusätzlichen Text hier eingeben.."));
        c_.FreiTextLinksCheck =
            make<QCheckBox>(p, "FreiTextLinksCheck", QStringLiteral("Text Links anfügen"));
        g->addWidget(c_.FreeTextLabel, 2, 0);
        g->addWidget(c_.FreiText_Bild, 2, 1, 1, 2);
        g->addWidget(c_.FreiTextLinksCheck, 2, 3);

        c_.ReplaceTextLabel = label(p, "ReplaceTextLabel", QStringLiteral("Text ersetzen"));
        c_.ErsetzenVon = lineEdit(p, "ErsetzenVon", QString());
        c_.ErsetzenVon->setToolTip(
            QStringLiteral("Dieser Text wird ersetzt, wenn er im Dateinamen vorkommt"));
        c_.ReplaceArrowLabel = label(p, "ReplaceArrowLabel", QStringLiteral("=>"));
        c_.ErsetzenMit = lineEdit(p, "ErsetzenMit", QString());
        c_.ErsetzenMit->setToolTip(QStringLiteral("Durch diesen Text wird ersetzt"));
        g->addWidget(c_.ReplaceTextLabel, 3, 0);
        g->addWidget(c_.ErsetzenVon, 3, 1);
        g->addWidget(c_.ReplaceArrowLabel, 3, 2, Qt::AlignCenter);
        g->addWidget(c_.ErsetzenMit, 3, 3);

        c_.KeinDAteinameText =
            make<QCheckBox>(p, "KeinDAteinameText", QStringLiteral("Keine Dateinamen verwenden"));
        c_.KeinDAteinameText->setToolTip(
            QStringLiteral("Keine Dateinamen einfügen - nur den freien Text verwenden"));
        c_.REmoveNumbers =
            make<QCheckBox>(p, "REmoveNumbers", QStringLiteral("Dateinamen nicht optimieren"));
        c_.REmoveNumbers->setToolTip(QStringLiteral(
            "Dateinamen nicht kürzen (sonst werden alle Nummern und doppelten Leerzeichen "
            "entfernt, Datum und wichtige Infos bleiben möglichst erhalten)"));
        c_.OriginalNamen = make<QCheckBox>(
            p, "OriginalNamen", QStringLiteral("Wenn Ergebnis leer, Dateinamen einfügen"));
        c_.OriginalNamen->setToolTip(QStringLiteral(
            "Wenn kein Text extrahiert werden kann (z.B: IMG1234.jpg), den orignal-Dateinamen "
            "einfügen (\"IMG1234\")"));
        auto* optionRow = new QHBoxLayout;
        optionRow->setSpacing(16);
        optionRow->addWidget(c_.KeinDAteinameText);
        optionRow->addWidget(c_.REmoveNumbers);
        optionRow->addWidget(c_.OriginalNamen);
        optionRow->addStretch(1);
        g->addLayout(optionRow, 4, 0, 1, 4);

        c_.TextPreviewLabel = label(p, "TextPreviewLabel", QStringLiteral("Text-Vorschau:"));
        c_.NamensVorschau =
            make<QLabel>(p, "NamensVorschau", QStringLiteral("Vorschau des Dateinamens"));
        c_.NamensVorschau->setAutoFillBackground(true);
        QPalette white = c_.NamensVorschau->palette();
        white.setColor(QPalette::Window, Qt::white);
        white.setColor(QPalette::WindowText, Qt::black);
        c_.NamensVorschau->setPalette(white);
        QFont previewFont = c_.NamensVorschau->font();
        previewFont.setPointSize(12);
        previewFont.setBold(true);
        c_.NamensVorschau->setFont(previewFont);
        c_.NamensVorschau->setFrameShape(QFrame::StyledPanel);
        c_.NamensVorschau->setFrameShadow(QFrame::Sunken);
        c_.NamensVorschau->setMargin(2);
        c_.NamensVorschau->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        g->addWidget(c_.TextPreviewLabel, 5, 0);
        g->addWidget(c_.NamensVorschau, 5, 1, 1, 3);

        c_.ImageWarning1 = warningLabel(
            p, "ImageWarning1", QStringLiteral("Für diese Funktionen wird ImageMagic benötigt!"));
        c_.CopyNoticeLabel =
            label(p, "CopyNoticeLabel", QStringLiteral("Es wird eine Kopie der Bilder erstellt"));
        c_.ImageMagic_Btn_Text = button(p, "ImageMagic_Btn_Text", QStringLiteral("Start"));
        c_.Command19 = runScriptButton(p, "Command19");
        auto* lastRow = new QHBoxLayout;
        lastRow->addWidget(c_.ImageWarning1);
        lastRow->addSpacing(12);
        lastRow->addWidget(c_.CopyNoticeLabel);
        lastRow->addStretch(1);
        lastRow->addWidget(c_.Command19);
        lastRow->addWidget(c_.ImageMagic_Btn_Text);
        g->addLayout(lastRow, 6, 0, 1, 4);
        g->setColumnStretch(1, 1);
        g->setColumnStretch(3, 1);
        g->setRowStretch(7, 1);
    }

    // 5: shuffle names and dates
    {
        const QString tip = QStringLiteral(
            "Zufallsreihenfolge der Bilder erzeugen / Zurücksetzen (Für Bilderrahmen ohne "
            "Shuffle)");
        ToolArea& a = addArea("Frame13", "WÜrfelBild", "ShuffleHeader",
                              QStringLiteral("Bilder Mischen (Shuffle)"), tip, AreaPicture::Shuffle,
                              kOpenHeights[4], false);
        c_.Frame13 = a.frame;
        c_.WuerfelBild = a.icon;
        c_.ShuffleHeader = a.header;
        c_.Command5 = infoButton(a.frame, "Command5");
        a.info = c_.Command5;

        c_.Frame3 = panel(a.body, "Frame3", QStringLiteral("Dateinamen mischen"));
        {
            QWidget* p = c_.Frame3;
            QGridLayout* g = grid(p);
            c_.RandomNumberLabel = label(
                p, "RandomNumberLabel",
                QStringLiteral("Jedem Bild eine zufällige 4-Stellige Zahl dem Namen voranstellen"));
            c_.RandomNumberLabel->setWordWrap(true);
            c_.SeparatorLabel = label(p, "SeparatorLabel", QStringLiteral("Trennzeichen:"));
            c_.TrennzeichenTxt = lineEdit(p, "TrennzeichenTxt", QStringLiteral("#"), 44);
            c_.Command1 = button(p, "Command1", QStringLiteral("Start"));
            c_.Command9 = runScriptButton(p, "Command9");
            c_.Command2 = button(p, "Command2", QStringLiteral("Wiederherstellen"));
            c_.Command10 = runScriptButton(p, "Command10");
            g->addWidget(c_.RandomNumberLabel, 0, 0, 1, 3);
            g->addWidget(c_.SeparatorLabel, 1, 0);
            g->addWidget(c_.TrennzeichenTxt, 1, 1);
            auto* buttons = new QHBoxLayout;
            buttons->setSpacing(4);
            buttons->addStretch(1);
            buttons->addWidget(c_.Command9);
            buttons->addWidget(c_.Command1);
            buttons->addWidget(c_.Command10);
            buttons->addWidget(c_.Command2);
            g->addLayout(buttons, 2, 0, 1, 3, Qt::AlignBottom);
            g->setColumnStretch(2, 1);
            g->setRowStretch(2, 1);
        }
        c_.Frame15 = panel(a.body, "Frame15", QStringLiteral("Datum mischen"));
        {
            QWidget* p = c_.Frame15;
            QGridLayout* g = grid(p);
            c_.DateShuffleTitleLabel = label(p, "DateShuffleTitleLabel",
                                             QStringLiteral("Erstellzeit der Dateien mischen"));
            QFont bold = c_.DateShuffleTitleLabel->font();
            bold.setBold(true);
            c_.DateShuffleTitleLabel->setFont(bold);
            c_.BaseDateLabel =
                label(p, "BaseDateLabel",
                      QStringLiteral("Erstellzeit der Bilder um dieses Datum mischen:"));
            c_.DateFieldTxt = lineEdit(p, "DateFieldTxt", QStringLiteral("11.11.2019"), 96);
            c_.DateFieldTxt->setToolTip(QStringLiteral(
                "Dieses Datum erhalten alle Dateien, wobei jede eine andere Uhrzeit erhält"));
            c_.DateShuffleWarning =
                warningLabel(p, "DateShuffleWarning",
                             QStringLiteral("ACHTUNG: Kann nicht rückgängig gemacht werden!"));
            c_.Mix_FileDate_Btn = button(p, "Mix_FileDate_Btn", QStringLiteral("Start"),
                                         QStringLiteral("Datum für alle Dateien setzen"));
            g->addWidget(c_.DateShuffleTitleLabel, 0, 0, 1, 2);
            g->addWidget(c_.BaseDateLabel, 1, 0, 1, 2);
            g->addWidget(c_.DateFieldTxt, 2, 0);
            g->addWidget(c_.DateShuffleWarning, 3, 0, 1, 2);
            g->addWidget(c_.Mix_FileDate_Btn, 4, 1, Qt::AlignRight | Qt::AlignBottom);
            g->setColumnStretch(1, 1);
            g->setRowStretch(4, 1);
        }
        // The date shuffle stays shown; a closed area simply cuts it off.
        a.innerPanels = {c_.Frame3};
        a.body->layout()->addWidget(c_.Frame3);
        a.body->layout()->addWidget(c_.Frame15);
    }

    // 6: duplicates
    {
        const QString tip = QStringLiteral("Doppelte Fotos markieren oder löschen");
        ToolArea& a = addArea("DoppelteFrame", "DoppeltePicture", "DoppelteHeader",
                              QStringLiteral("Doppelte Fotos"), tip, AreaPicture::Duplicates,
                              kOpenHeights[5], false);
        c_.DoppelteFrame = a.frame;
        c_.DoppeltePicture = a.icon;
        c_.DoppelteHeader = a.header;
        c_.Command21 = infoButton(a.frame, "Command21");
        a.info = c_.Command21;

        c_.DoppelteInnenFrame = panel(a.body, "DoppelteInnenFrame",
                                      QStringLiteral("Doppelte Dateien markieren / löschen"));
        a.innerPanels = {c_.DoppelteInnenFrame};
        a.body->layout()->addWidget(c_.DoppelteInnenFrame);
        QWidget* p = c_.DoppelteInnenFrame;
        QGridLayout* g = grid(p);
        c_.DoppelteMethodLabel =
            label(p, "DoppelteMethodLabel",
                  QStringLiteral("Doppelte anhand der Checksummen ermitteln (langsam!)"));
        c_.DoppelteMarkLabel = label(p, "DoppelteMarkLabel", QStringLiteral("Doppelte markieren:"));
        c_.DoppelteTxt = lineEdit(p, "DoppelteTxt", QStringLiteral("[Doppelt]"), 110);
        c_.DoublettenCheck =
            make<QCheckBox>(p, "DoublettenCheck", QStringLiteral("Doppelte löschen (vorsicht!)"));
        c_.DoppelteWarnung = warningLabel(
            p, "DoppelteWarnung", QStringLiteral("ACHTUNG: Original-Dateien werden gelöscht (!)"));
        c_.DoppelteWarnung->hide();
        c_.DoppelteAbbruch = label(p, "DoppelteAbbruch", QStringLiteral("Abbruch = ESC"));
        c_.DoppelteAbbruch->hide();
        c_.DoppelteStart = button(p, "DoppelteStart", QStringLiteral("Start"));
        c_.Command23 = runScriptButton(p, "Command23");
        g->addWidget(c_.DoppelteMethodLabel, 0, 0, 1, 4);
        g->addWidget(c_.DoppelteMarkLabel, 1, 0);
        g->addWidget(c_.DoppelteTxt, 1, 1);
        g->addWidget(c_.DoublettenCheck, 1, 3);
        g->addWidget(c_.DoppelteWarnung, 2, 0, 1, 4);
        g->addWidget(c_.DoppelteAbbruch, 3, 0, 1, 2, Qt::AlignBottom);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(c_.Command23);
        buttons->addWidget(c_.DoppelteStart);
        g->addLayout(buttons, 3, 3, Qt::AlignRight | Qt::AlignBottom);
        g->setColumnStretch(2, 1);
        g->setRowStretch(3, 1);
    }

    // 7: dates
    {
        const QString tip = QStringLiteral("Datum aus Datei oder Dateinamen ermitteln");
        ToolArea& a =
            addArea("DatumFrame", "DatumPic", "DatumHeader", QStringLiteral("Datum && Zeit"), tip,
                    AreaPicture::Date, kOpenHeights[6], false);
        c_.DatumFrame = a.frame;
        c_.DatumPic = a.icon;
        c_.DatumHeader = a.header;
        c_.Command25 = infoButton(a.frame, "Command25");
        a.info = c_.Command25;

        c_.Frame18 = panel(a.body, "Frame18", QStringLiteral("Datum -> Dateinamen"));
        {
            QWidget* p = c_.Frame18;
            QGridLayout* g = grid(p);
            c_.DateToNameLabel =
                label(p, "DateToNameLabel",
                      QStringLiteral("Datum der Bilderstellung dem Dateinamen anfügen"));
            c_.DateToNameLabel->setWordWrap(true);
            c_.DateFormatLabel = label(p, "DateFormatLabel", QStringLiteral("Format:"));
            c_.DateFormatCOmbo = comboBox(p, "DateFormatCOmbo", 130);
            c_.DateSeparatorLabel = label(p, "DateSeparatorLabel", QStringLiteral("Trennzeichen:"));
            c_.TrennzDatetxt = lineEdit(p, "TrennzDatetxt", QStringLiteral("-"), 44);
            c_.TrennzDatetxt->setToolTip(QStringLiteral("Trennzeichen zwischen Datum und Namen"));
            c_.AddDateToNameBtn = button(p, "AddDateToNameBtn", QStringLiteral("Start"));
            c_.Command26 = runScriptButton(p, "Command26");
            c_.Command28 = button(p, "Command28", QStringLiteral("Wiederherstellen"));
            g->addWidget(c_.DateToNameLabel, 0, 0, 1, 3);
            g->addWidget(c_.DateFormatLabel, 1, 0);
            g->addWidget(c_.DateFormatCOmbo, 1, 1);
            g->addWidget(c_.DateSeparatorLabel, 2, 0);
            g->addWidget(c_.TrennzDatetxt, 2, 1);
            auto* buttons = new QHBoxLayout;
            buttons->setSpacing(4);
            buttons->addStretch(1);
            buttons->addWidget(c_.Command26);
            buttons->addWidget(c_.AddDateToNameBtn);
            buttons->addWidget(c_.Command28);
            g->addLayout(buttons, 3, 0, 1, 3, Qt::AlignBottom);
            g->setColumnStretch(2, 1);
            g->setRowStretch(3, 1);
        }
        c_.Frame17 = panel(a.body, "Frame17", QStringLiteral("Datum ändern"));
        {
            QWidget* p = c_.Frame17;
            QGridLayout* g = grid(p);
            c_.SetDateLabel =
                label(p, "SetDateLabel", QStringLiteral("Erstelldatum der Dateien überschreiben"));
            c_.DatumDateinameNutzen = make<QCheckBox>(
                p, "DatumDateinameNutzen", QStringLiteral("Datum aus Dateinamen benutzen"));
            c_.DatumAusVerzNamen = make<QCheckBox>(
                p, "DatumAusVerzNamen", QStringLiteral("Datum aus Verzeichnisnamen nutzen "));
            c_.FixDatumWennKeinsGefundenCheck =
                make<FieldCheckBox>(p, "FixDatumWennKeinsGefundenCheck",
                                    QStringLiteral("Wenn kein Datum:                    setzen"));
            c_.DatumSetzenTxt = lineEdit(p, "DatumSetzenTxt", QStringLiteral("11.11.2019"), 90);
            c_.DatumSetzenTxt->setToolTip(QStringLiteral(
                "Dieses Datum erhalten alle Dateien, wobei jede eine andere Uhrzeit erhält"));
            c_.DatumSetzenTxt->setEnabled(false);
            c_.FixDatumWennKeinsGefundenCheck->setField(c_.DatumSetzenTxt);
            c_.Warnung2 = warningLabel(
                p, "Warnung2", QStringLiteral("ACHTUNG: Kann nicht rückgängig gemacht werden!"));
            c_.Warnung2->hide();
            c_.SetDateBtn = button(p, "SetDateBtn", QStringLiteral("Start"),
                                   QStringLiteral("Datum für alle Dateien setzen"));
            c_.Command27 = runScriptButton(p, "Command27");
            g->addWidget(c_.SetDateLabel, 0, 0, 1, 2);
            g->addWidget(c_.DatumDateinameNutzen, 1, 0);
            g->addWidget(c_.DatumAusVerzNamen, 2, 0);
            g->addWidget(c_.FixDatumWennKeinsGefundenCheck, 3, 0);
            g->addWidget(c_.Warnung2, 4, 0, 1, 2);
            auto* buttons = new QHBoxLayout;
            buttons->setSpacing(4);
            buttons->addWidget(c_.Command27);
            buttons->addWidget(c_.SetDateBtn);
            g->addLayout(buttons, 3, 1, 2, 1, Qt::AlignRight | Qt::AlignBottom);
            g->setColumnStretch(1, 1);
            g->setRowStretch(5, 1);
        }
        a.innerPanels = {c_.Frame18, c_.Frame17};
        a.body->layout()->addWidget(c_.Frame18);
        a.body->layout()->addWidget(c_.Frame17);
    }
}

void Form1::buildBottomStrip() {
    c_.BeendenFrame = make<QFrame>(this, "BeendenFrame");
    c_.BeendenFrame->setFrameShape(QFrame::StyledPanel);
    QWidget* f = c_.BeendenFrame;
    c_.KeineNachfragen =
        make<QCheckBox>(f, "KeineNachfragen", QStringLiteral("Nachfragen abschalten"));
    c_.KeineNachfragen->setToolTip(
        QStringLiteral("Die Aktionen starten sofort ohne weitere Nachfrage (Vorsicht!!)"));
    c_.BatPAuse =
        make<QCheckBox>(f, "BatPAuse", QStringLiteral("Pause am Ende der bat-Dateien einfügen"));
    c_.SaveIniBtn = make<QPushButton>(f, "SaveIniBtn", QStringLiteral("Speichern"));
    c_.SaveIniBtn->setToolTip(QStringLiteral(
        "Speichert die gesetzten Programm-Einstellungen (Pfad wird nicht gespeichert)"));
    c_.IniBtn = make<QPushButton>(f, "IniBtn", QStringLiteral("Ini"));
    c_.IniBtn->setToolTip(QStringLiteral("Ini-Datei öffnen"));
    c_.IniBtn->hide();
    c_.ExitBtn = make<QPushButton>(f, "ExitBtn", QStringLiteral("Beenden"));
    c_.Label6 = linkLabel(f, "Label6", QStringLiteral("Kamera Nummern >>"));
}

void Form1::buildCameraArea() {
    c_.Frame6 = make<QFrame>(this, "Frame6");
    c_.Frame6->setFrameShape(QFrame::StyledPanel);
    c_.Frame6->resize(width(), Px(geometry::kCameraAreaHeight));
    c_.Frame6->hide();
    c_.Frame1 = panel(c_.Frame6, "Frame1",
                      QStringLiteral("Kamera-Nummern aus Dateinamen entfernen / umwandeln  "
                                     "(experimentell!)"));
    c_.Frame1->hide();
    auto* outer = new QVBoxLayout(c_.Frame6);
    outer->setSizeConstraint(QLayout::SetNoConstraint);
    outer->setContentsMargins(8, 4, 8 + Px(geometry::kStripOverhang), 8);
    outer->addWidget(c_.Frame1);

    QWidget* p = c_.Frame1;
    QGridLayout* g = grid(p);
    c_.CameraStartLabel = label(p, "CameraStartLabel", QStringLiteral("Start Zeichen (Opt)"));
    c_.CameraNr_Combo = comboBox(p, "CameraNr_Combo", 90);
    c_.CameraCountLabel = label(p, "CameraCountLabel", QStringLiteral("Anz. Nummern:"));
    c_.CameraNr_NrCombo = comboBox(p, "CameraNr_NrCombo", 56);
    c_.Command7 = infoButton(p, "Command7");
    c_.CameraReplaceLabel =
        label(p, "CameraReplaceLabel",
              QStringLiteral(
                  "Anz. Nummern mit diesem Text ersetzen (Leeres Feld löscht den Nummernblock)"));
    c_.REplaceText = lineEdit(p, "REplaceText", QString());
    c_.NoNumbers = make<QCheckBox>(p, "NoNumbers", QStringLiteral("Keine neue Nummerierung"));
    c_.ChangeToDate =
        make<QCheckBox>(p, "ChangeToDate", QStringLiteral("Nummer -> Datum anfügen:  links"));
    c_.PutOnRightSide = make<QCheckBox>(p, "PutOnRightSide", QStringLiteral("rechts"));
    c_.Remove_Camera_Nr = button(p, "Remove_Camera_Nr", QStringLiteral("Start"));

    auto* first = new QHBoxLayout;
    first->setSpacing(6);
    first->addWidget(c_.CameraStartLabel);
    first->addWidget(c_.CameraNr_Combo);
    first->addSpacing(12);
    first->addWidget(c_.CameraCountLabel);
    first->addWidget(c_.CameraNr_NrCombo);
    first->addStretch(1);
    first->addWidget(c_.Command7);
    g->addLayout(first, 0, 0);
    auto* second = new QHBoxLayout;
    second->setSpacing(6);
    second->addWidget(c_.CameraReplaceLabel);
    second->addWidget(c_.REplaceText, 1);
    g->addLayout(second, 1, 0);
    auto* third = new QHBoxLayout;
    third->setSpacing(12);
    third->addWidget(c_.NoNumbers);
    third->addWidget(c_.ChangeToDate);
    third->addWidget(c_.PutOnRightSide);
    third->addStretch(1);
    third->addWidget(c_.Remove_Camera_Nr);
    g->addLayout(third, 2, 0);
    g->setRowStretch(3, 1);
}

void Form1::buildPicker() {
    c_.VerzBaum_Frame = make<QFrame>(this, "VerzBaum_Frame");
    c_.VerzBaum_Frame->setFrameShape(QFrame::StyledPanel);
    c_.VerzBaum_Frame->setFrameShadow(QFrame::Raised);
    c_.VerzBaum_Frame->setAutoFillBackground(true);
    c_.VerzBaum_Frame->hide();

    c_.Command16 = make<QPushButton>(c_.VerzBaum_Frame, "Command16", QStringLiteral("X"));
    c_.Command16->setFixedSize(26, 22);

    dirModel_ = new QFileSystemModel(this);
    dirModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    dirModel_->setReadOnly(true);
    c_.VerzBaum = make<QTreeView>(c_.VerzBaum_Frame, "VerzBaum");
    c_.VerzBaum->setModel(dirModel_);
    for (int column = 1; column < dirModel_->columnCount(); ++column)
        c_.VerzBaum->hideColumn(column);
    c_.VerzBaum->setHeaderHidden(true);
    c_.VerzBaum->setUniformRowHeights(true);
    c_.VerzBaum->setAnimated(false);
    c_.VerzBaum->setSelectionMode(QAbstractItemView::SingleSelection);
    c_.VerzBaum->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void Form1::layoutTopStrip() {
    const int w = width();
    const int rowHeight = 24;
    const int y1 = 8;
    const int y2 = 44;

    // The language button sits at the window's right edge, at the very top.
    QPushButton* flag = c_.SwitchLAnguage_Label;
    flag->move(w - flag->width() - Px(250), 0);

    int right = flag->x() - 8;
    c_.Command11->move(right - c_.Command11->width(), y1);
    right = c_.Command11->x() - 6;
    const int driveWidth = std::min(std::max(c_.Drive1->sizeHint().width(), 120), 180);
    c_.Drive1->setGeometry(right - driveWidth, y1, driveWidth, rowHeight);
    right = c_.Drive1->x() - 6;
    c_.Command4->setGeometry(right - 30, y1, 30, rowHeight);
    right = c_.Command4->x() - 2;
    c_.Text1->setGeometry(8, y1, std::max(right - 8, 60), rowHeight);

    c_.Combo2->setGeometry(8, y2, 90, rowHeight);
    c_.DubDir_Check->setGeometry(108, y2, c_.DubDir_Check->sizeHint().width(), rowHeight);

    int x = w - 12;
    for (ClickableLabel* link : {c_.Label13, c_.Label42}) {
        const QSize s = link->sizeHint();
        x -= s.width();
        link->setGeometry(x, y2 + (rowHeight - s.height()) / 2, s.width(), s.height());
        x -= 14;
    }
    c_.AlwaysOnTop1->move(x - c_.AlwaysOnTop1->width(),
                          y2 + (rowHeight - c_.AlwaysOnTop1->height()) / 2);
}

void Form1::layoutNameStrip() {
    const int w = width();
    const int h = c_.Frame7->height();
    // Left of the file names the picture preview, which lies on the window itself.
    const int namesLeft = Px(120 + 1035) + 8;
    const int namesWidth = std::max(200, (w - namesLeft - 16) / 2);
    c_.Vorschau->setGeometry(namesLeft, 3, namesWidth, h - 6);
    const int x = namesLeft + namesWidth + 10;
    const int rest = std::max(w - x - 8, 120);
    c_.FileStatus->setGeometry(x, 6, rest, c_.FileStatus->sizeHint().height() + 4);
    c_.ImageMagicPath->setGeometry(x, 36, rest, 24);
}

void Form1::placePicker() {
    if (!c_.VerzBaum_Frame)
        return;
    // Directly below the directory box, down to near the window's bottom.
    const QPoint below = c_.Text1->mapTo(this, QPoint(0, c_.Text1->height()));
    const int top = below.y() + Px(20);
    const int pickerWidth = std::max(c_.Text1->width() + c_.Command4->width() + 2, 320);
    const int pickerHeight = std::max(height() - top - Px(340), Px(400) + 60);
    c_.VerzBaum_Frame->setGeometry(0, top, pickerWidth, pickerHeight);
    const int treeHeight = pickerHeight - Px(400);
    c_.Command16->move(pickerWidth - c_.Command16->width() - 3, 3);
    c_.VerzBaum->setGeometry(3, pickerHeight - treeHeight - 3, pickerWidth - 6, treeHeight);
}

void Form1::fillOutputFormatList() {
    if (!c_.FormatConvertCombo)
        return;
    const QString text = c_.FormatConvertCombo->currentText();
    c_.FormatConvertCombo->clear();
    c_.FormatConvertCombo->addItems(OutputFormats());
    c_.FormatConvertCombo->setEditText(text);
}

void Form1::LayoutOnResize() {
    if (!c_.Frame5)
        return;
    const int w = width();
    // The strips reach past the right edge so that their right border stays out of sight.
    const int stripWidth = w + Px(geometry::kStripOverhang);
    c_.Frame5->resize(stripWidth, Px(geometry::kTopStripHeight));
    for (QFrame* f : {c_.Frame7, c_.Frame4, c_.Frame6, c_.IrfanFrame, c_.Frame12, c_.DoppelteFrame,
                      c_.Frame13, c_.Frame14, c_.DatumFrame})
        if (f)
            f->resize(stripWidth, f->height());
    for (const ToolArea& a : areas_)
        a.body->setGeometry(0, Px(geometry::kCollapsedHeight), stripWidth,
                            Px(a.openHeight - geometry::kCollapsedHeight));
    for (const ToolArea& a : areas_) {
        // The header's info button follows the header text.
        const QSize s = a.header->sizeHint();
        a.header->setGeometry(geometry::kHeaderLeft, 0, s.width(), Px(geometry::kCollapsedHeight));
        a.info->move(geometry::kHeaderLeft + s.width() + 10,
                     (Px(geometry::kCollapsedHeight) - a.info->height()) / 2);
    }
    layoutTopStrip();
    layoutNameStrip();

    const QSize drop = c_.DragDropPic->size();
    c_.DragDropPic->move(w - drop.width() - 10, c_.Frame14->y() + 4);

    // The bottom strip keeps its width; its buttons stay at its right end.
    const int bw = bottomStripWidth_ > 0 ? bottomStripWidth_ : w;
    const int bh = Px(geometry::kBottomStripHeight);
    c_.KeineNachfragen->setGeometry(8, 4, c_.KeineNachfragen->sizeHint().width(), 22);
    c_.BatPAuse->setGeometry(8, bh - 26, c_.BatPAuse->sizeHint().width(), 22);
    int x = bw - 10;
    for (QPushButton* b : {c_.ExitBtn, c_.IniBtn, c_.SaveIniBtn}) {
        const int bwidth = std::max(b->sizeHint().width(), b == c_.IniBtn ? 56 : 96);
        x -= bwidth;
        b->setGeometry(x, (bh - 28) / 2, bwidth, 28);
        x -= 8;
    }
    const int checksRight = 8 + std::max(c_.KeineNachfragen->width(), c_.BatPAuse->width()) + 24;
    c_.Label6->setGeometry(checksRight, bh - 26, c_.Label6->sizeHint().width(), 22);

    placePicker();
}

}  // namespace kadrano
