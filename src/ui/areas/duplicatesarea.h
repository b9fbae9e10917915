#pragma once

#include <memory>

#include "analysis/duplicatefinder.h"
#include "toolarea.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kadrano {

// The area "Doppelte Fotos": duplicates.
class DuplicatesArea : public ToolArea, private DuplicatesView {
    Q_OBJECT
public:
    DuplicatesArea(QWidget* window, AreaHost& host);
    ~DuplicatesArea() override;

    // Its controls. A member's objectName is its own name unless the comment gives it: the
    // settings, the English table and the tests find controls by objectName.
    struct Controls {
        QGroupBox* DoppelteInnenFrame = nullptr;
        QLabel* DoppelteMethodLabel = nullptr;
        QLabel* DoppelteMarkLabel = nullptr;
        QLineEdit* DoppelteTxt = nullptr;
        QCheckBox* DoublettenCheck = nullptr;
        QLabel* DoppelteWarnung = nullptr;  // "ACHTUNG: Original-Dateien werden gelöscht (!)"
        QLabel* DoppelteAbbruch = nullptr;  // "Abbruch = ESC"
        QPushButton* DoppelteStart = nullptr;
        QPushButton* scriptButton = nullptr;  // "Command23", no script to run: never shown
    };
    const Controls& controls() const { return c_; }

    DuplicatesOptions options() const;

private:
    void startClicked();
    // DuplicatesView
    void setStartButtonText(const QString& text) override;
    void setCancelHintVisible(bool visible) override;

    Controls c_;
    // Holds the running search: its Start button becomes Stop.
    std::unique_ptr<DuplicateFinder> finder_;
};

}  // namespace kadrano
