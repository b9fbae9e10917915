#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "clickablelabel.h"
#include "form1.h"

// The window's controls and the stacking of its areas.

namespace kadrano {

namespace {
template <typename W, typename... Args>
W* make(QWidget* parent, const char* name, Args&&... args) {
    auto* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(QString::fromUtf8(name));
    return w;
}
}  // namespace

void Form1::buildControls() {
    auto* layout = new QVBoxLayout(this);
    c_.Frame5 = make<QFrame>(this, "Frame5");
    layout->addWidget(c_.Frame5);
    auto* top = new QVBoxLayout(c_.Frame5);
    c_.Text1 = make<QLineEdit>(c_.Frame5, "Text1");
    c_.Text1->setToolTip(QStringLiteral("Bilder-Verzeichnis"));
    top->addWidget(c_.Text1);
    c_.Combo2 = make<QComboBox>(c_.Frame5, "Combo2");
    c_.Combo2->setEditable(true);
    c_.Combo2->setInsertPolicy(QComboBox::NoInsert);
    top->addWidget(c_.Combo2);
    c_.DubDir_Check = make<QCheckBox>(c_.Frame5, "DubDir_Check", QStringLiteral("Auch Unterverzeichnisse"));
    top->addWidget(c_.DubDir_Check);
    c_.Label13 = make<ClickableLabel>(c_.Frame5, "Label13", QStringLiteral("Update"));
    top->addWidget(c_.Label13);

    c_.Frame7 = make<QFrame>(this, "Frame7");
    layout->addWidget(c_.Frame7);
    auto* names = new QVBoxLayout(c_.Frame7);
    c_.Vorschau = make<ClickableLabel>(c_.Frame7, "Vorschau", QStringLiteral("Vorschau Dateiname"));
    names->addWidget(c_.Vorschau);
    c_.FileStatus = make<ClickableLabel>(c_.Frame7, "FileStatus", QStringLiteral("Keine Dateien gefunden!"));
    c_.FileStatus->setToolTip(
        QStringLiteral("Doppelklick erstellt und öffenet eine Liste aller gefundenen Dateien"));
    names->addWidget(c_.FileStatus);

    c_.Frame13 = make<QFrame>(this, "Frame13");
    layout->addWidget(c_.Frame13);
    auto* shuffle = new QVBoxLayout(c_.Frame13);
    c_.Frame3 = make<QFrame>(c_.Frame13, "Frame3");
    shuffle->addWidget(c_.Frame3);
    auto* inner = new QVBoxLayout(c_.Frame3);
    c_.TrennzeichenTxt = make<QLineEdit>(c_.Frame3, "TrennzeichenTxt", QStringLiteral("#"));
    inner->addWidget(c_.TrennzeichenTxt);
    c_.Command1 = make<QPushButton>(c_.Frame3, "Command1", QStringLiteral("Start"));
    inner->addWidget(c_.Command1);
    c_.Command2 = make<QPushButton>(c_.Frame3, "Command2", QStringLiteral("Wiederherstellen"));
    inner->addWidget(c_.Command2);
    c_.Command9 = make<QPushButton>(c_.Frame3, "Command9");
    c_.Command9->setToolTip(QStringLiteral("Erstellte Bat-Datei jetzt ausführen und Umbenennen starten."));
    c_.Command9->hide();
    inner->addWidget(c_.Command9);
    c_.Command10 = make<QPushButton>(c_.Frame3, "Command10");
    c_.Command10->setToolTip(c_.Command9->toolTip());
    c_.Command10->hide();
    inner->addWidget(c_.Command10);

    c_.BeendenFrame = make<QFrame>(this, "BeendenFrame");
    layout->addWidget(c_.BeendenFrame);
    auto* bottom = new QVBoxLayout(c_.BeendenFrame);
    c_.KeineNachfragen = make<QCheckBox>(c_.BeendenFrame, "KeineNachfragen", QStringLiteral("Nachfragen abschalten"));
    bottom->addWidget(c_.KeineNachfragen);
    c_.BatPAuse = make<QCheckBox>(c_.BeendenFrame, "BatPAuse",
                                  QStringLiteral("Pause am Ende der bat-Dateien einfügen"));
    bottom->addWidget(c_.BatPAuse);
    c_.SaveIniBtn = make<QPushButton>(c_.BeendenFrame, "SaveIniBtn", QStringLiteral("Speichern"));
    bottom->addWidget(c_.SaveIniBtn);
    c_.IniBtn = make<QPushButton>(c_.BeendenFrame, "IniBtn", QStringLiteral("Ini"));
    c_.IniBtn->hide();
    bottom->addWidget(c_.IniBtn);
    c_.ExitBtn = make<QPushButton>(c_.BeendenFrame, "ExitBtn", QStringLiteral("Beenden"));
    bottom->addWidget(c_.ExitBtn);
}

void Form1::StackAreas() {}
void Form1::CollapseAllAreas() {}
void Form1::ToggleArea(QFrame*) {}
void Form1::LayoutOnResize() {}

}  // namespace kadrano
