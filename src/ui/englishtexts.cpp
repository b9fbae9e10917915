#include "englishtexts.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "imagemagick/colours.h"

namespace kadrano {

namespace {

constexpr EnglishText kShellEnglish[] = {
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

std::span<const EnglishText> shellEnglishTexts() {
    return kShellEnglish;
}

void ApplyEnglishTexts(QWidget& root, std::span<const EnglishText> table) {
    for (const EnglishText& e : table) {
        QWidget* w = root.findChild<QWidget*>(QString::fromUtf8(e.control));
        if (!w)
            continue;
        if (e.caption)
            setCaption(w, text(e.caption));
        if (e.tooltip)
            w->setToolTip(plainAmpersands(text(e.tooltip)));
        if (e.text)
            setText(w, text(e.text));
    }
}

void useEnglishColourNames(ColourTable& colours, QComboBox& list) {
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
