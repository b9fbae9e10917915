#pragma once

#include <QObject>
#include <QString>

#include "core/language.h"

class QCheckBox;
class QFrame;
class QPushButton;
class QWidget;

namespace kadrano {

class AreaStack;
class ClickableLabel;
class SettingsBinding;

// The bottom strip: the two switches every tool reads, "Rückgängig", "Speichern", "Ini",
// "Beenden", and the link that shows the camera numbers. It keeps the width it is given at
// start; its buttons stay at its right end.
class BottomStrip : public QObject {
    Q_OBJECT
public:
    // Builds the strip with the settings' buttons and the camera link in it, in the order
    // Tab goes through them.
    BottomStrip(QWidget* window, SettingsBinding& settings, AreaStack& areas);

    QFrame* frame() const { return frame_; }
    QPushButton* exitButton() const { return exitButton_; }
    bool noQuestions() const;  // "Nachfragen abschalten"
    bool pauseAtEnd() const;   // "Pause am Ende der bat-Dateien einfügen"

    // "Rückgängig" is enabled while the folder has a run to undo, its tooltip naming that
    // run. A folder with a long history has a long journal; it is read again only when it
    // or the folder changed.
    void refreshUndoButton(const QString& undoFolder, const QString& folder, Language language);

    void setWidth(int width);
    void layOut();

Q_SIGNALS:
    void exitClicked();
    void undoClicked();

private:
    SettingsBinding& settings_;
    QFrame* frame_ = nullptr;
    QCheckBox* noQuestionsCheck_ = nullptr;  // "KeineNachfragen"
    QCheckBox* pauseCheck_ = nullptr;        // "BatPAuse"
    QPushButton* exitButton_ = nullptr;      // "ExitBtn"
    QPushButton* undoButton_ = nullptr;      // "UndoBtn"
    ClickableLabel* cameraLink_ = nullptr;   // "Label6"
    int width_ = 0;
    QString undoJournalSeen_;  // the journal (and its size and time) the button shows
};

}  // namespace kadrano
