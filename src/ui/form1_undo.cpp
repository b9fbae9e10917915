#include <QDateTime>
#include <QFileInfo>
#include <QPushButton>

#include "form1.h"
#include "rename/undolast.h"

// The "Rückgängig" button of the bottom strip.

namespace kadrano {

void Form1::refreshUndoButton() {
    if (!c_.UndoBtn)
        return;
    // A folder with a long history has a long journal; it is read again only when it or
    // the folder changed.
    const QString path = UndoJournalPath(undoFolder_, directoryText());
    const QFileInfo info(path);
    const QString seen = path + u'|' + QString::number(info.size()) + u'|' +
                         QString::number(info.lastModified().toMSecsSinceEpoch()) + u'|' +
                         LanguageText(language_);
    if (seen == undoJournalSeen_)
        return;
    undoJournalSeen_ = seen;
    const UndoButtonState state = UndoButtonFor(undoFolder_, directoryText(), language_);
    c_.UndoBtn->setEnabled(state.enabled);
    c_.UndoBtn->setToolTip(state.toolTip);
}

void Form1::onUndoClicked() {
    runTool([this] { RunUndoLast(*this); });
}

}  // namespace kadrano
