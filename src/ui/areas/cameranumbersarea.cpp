#include "cameranumbersarea.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/controlfactory.h"
#include "ui/form1geometry.h"
#include "ui/twips.h"

namespace kadrano {

namespace {

constexpr AreaInfo kCameraNumbersInfo{
    "Nummernfelder oder Datumsblöcke in Dateinamen ersetzen und neu nummerieren:\n"
    "MyPic_IMG4345234.jpg -> MyPic#1.jpg\n\n"
    "Oder Datumsblöcke umwandeln:\n\n"
    "MyPic_IMG_20190313.jpg -> 2019-03-13MyPic#2.jpg\n",
    "Replace Number-Fields or Dateblocks in Filenames and Renumber:\n"
    "MyPic_IMG4345234.jpg -> MyPic#1.jpg\n\n"
    "Or convert Dateblocks:\n\n"
    "MyPic_IMG_20190313.jpg -> 2019-03-13MyPic#2.jpg\n",
    "Nummernblöcke umwandeln", "Convert Numberblocks"};

}  // namespace

CameraNumbersArea::CameraNumbersArea(QWidget* window, AreaHost& host)
    : ToolArea(window, host, "Frame6") {
    // Kept or not, the script may lie in the folder after a run.
    declareOwnFiles({kCameraNumbersScript});
    frame()->resize(window->width(), px(geometry::kCameraAreaHeight));
    frame()->hide();
    c_.panel = panel(frame(), "Frame1",
                     QStringLiteral("Kamera-Nummern aus Dateinamen entfernen / umwandeln  "
                                    "(experimentell!)"));
    c_.panel->hide();
    addInnerPanel(c_.panel);
    auto* outer = new QVBoxLayout(frame());
    outer->setSizeConstraint(QLayout::SetNoConstraint);
    outer->setContentsMargins(8, 4, 8 + px(geometry::kStripOverhang), 8);
    outer->addWidget(c_.panel);

    QWidget* p = c_.panel;
    QGridLayout* g = grid(p);
    c_.CameraStartLabel = label(p, "CameraStartLabel", QStringLiteral("Start Zeichen (Opt)"));
    c_.CameraNr_Combo = comboBox(p, "CameraNr_Combo", 90);
    c_.CameraCountLabel = label(p, "CameraCountLabel", QStringLiteral("Anz. Nummern:"));
    c_.CameraNr_NrCombo = comboBox(p, "CameraNr_NrCombo", 56);
    // Its panel's title is long; a screen reader says the link's words.
    c_.info = addInfoButton(p, "Command7", kCameraNumbersInfo, QStringLiteral("Kamera Nummern"));
    c_.CameraReplaceLabel =
        label(p, "CameraReplaceLabel",
              QStringLiteral(
                  "Anz. Nummern mit diesem Text ersetzen (Leeres Feld löscht den Nummernblock)"));
    c_.REplaceText = lineEdit(p, "REplaceText", QString());
    c_.NoNumbers = make<QCheckBox>(p, "NoNumbers", QStringLiteral("Keine neue Nummerierung"));
    c_.ChangeToDate =
        make<QCheckBox>(p, "ChangeToDate", QStringLiteral("Nummer -> Datum anfügen:  links"));
    c_.PutOnRightSide = make<QCheckBox>(p, "PutOnRightSide", QStringLiteral("rechts"));
    c_.Remove_Camera_Nr = addStartButton(p, "Remove_Camera_Nr", QStringLiteral("Start"), QString(),
                                         [this] { runCameraNumbers(toolHost(), options()); });

    auto* first = new QHBoxLayout;
    first->setSpacing(6);
    first->addWidget(c_.CameraStartLabel);
    first->addWidget(c_.CameraNr_Combo);
    first->addSpacing(12);
    first->addWidget(c_.CameraCountLabel);
    first->addWidget(c_.CameraNr_NrCombo);
    first->addStretch(1);
    first->addWidget(c_.info);
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

    // An empty or foreign count would find nothing; the list offers 1 to 12.
    c_.CameraNr_NrCombo->setValidator(new QIntValidator(1, 99, c_.CameraNr_NrCombo));
    // The focus may move while the window is torn down; the combo may be gone by then.
    QPointer<QComboBox> combo = c_.CameraNr_NrCombo;
    connect(qApp, &QApplication::focusChanged, this, [this, combo](QWidget* old, QWidget* now) {
        auto inCombo = [&combo](QWidget* w) {
            return w && combo && (w == combo || combo->isAncestorOf(w));
        };
        if (inCombo(old) && !inCombo(now))
            digitCountLeft();
    });
    connect(c_.ChangeToDate, &QCheckBox::toggled, this,
            [this](bool on) { c_.PutOnRightSide->setEnabled(on); });
    // Also when the settings tick it at start-up.
    connect(c_.PutOnRightSide, &QCheckBox::toggled, this,
            [this](bool on) { c_.ChangeToDate->setEnabled(!on); });
    // Another start text finds other blocks: the list is read again.
    connect(c_.CameraNr_Combo, &QComboBox::currentTextChanged, this, [this] {
        if (!toolHost().loading())
            toolHost().collectFiles();
    });
}

void CameraNumbersArea::digitCountLeft() {
    const bool date = c_.CameraNr_NrCombo->currentText() == QLatin1String("8");
    c_.ChangeToDate->setEnabled(date);
    c_.ChangeToDate->setChecked(date);
}

CameraNumberOptions CameraNumbersArea::options() const {
    CameraNumberOptions o;
    o.startText = c_.CameraNr_Combo->currentText();
    o.digits = c_.CameraNr_NrCombo->currentText().toInt();
    o.replacement = c_.REplaceText->text();
    o.noNumbers = c_.NoNumbers->isChecked();
    o.numberOnRight = c_.PutOnRightSide->isChecked();
    o.dateInFront = c_.ChangeToDate->isChecked();
    return o;
}

void CameraNumbersArea::showAt(int top, int width) {
    frame()->setGeometry(0, top, width, px(geometry::kCameraAreaHeight));
    frame()->show();
    c_.panel->show();
}

void CameraNumbersArea::hide() {
    frame()->hide();
    c_.panel->hide();
}

void CameraNumbersArea::fillLists() {
    c_.CameraNr_NrCombo->clear();
    for (int i = 1; i <= 12; ++i)
        c_.CameraNr_NrCombo->addItem(QString::number(i));
    c_.CameraNr_NrCombo->setEditText(QStringLiteral("8"));
    c_.CameraNr_Combo->clear();
    c_.CameraNr_Combo->addItems(
        {QStringLiteral("P"), QStringLiteral("IMG_"), QStringLiteral("IMG"), QStringLiteral("I")});
    c_.CameraNr_Combo->setEditText(QStringLiteral("IMG_"));
}

}  // namespace kadrano
