#pragma once

#include "rename/customrename.h"
#include "toolarea.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kadrano {

// The area "Bilder umbenennen": custom rename.
class RenameArea : public ToolArea {
    Q_OBJECT
public:
    RenameArea(QWidget* window, AreaHost& host);

    // Its controls. A member's objectName is its own name unless the comment gives it: the
    // settings, the English table and the tests find controls by objectName.
    struct Controls {
        QGroupBox* renamePanel = nullptr;   // "Frame11"
        QLabel* RenameLeftLabel = nullptr;  // "Links anfügen:"
        QLineEdit* Umben_LinksAnf = nullptr;
        QLabel* RenameRightLabel = nullptr;  // "Rechts anfügen:"
        QLineEdit* Umben_RechtsAnf = nullptr;
        QLabel* RenameReplaceLabel = nullptr;  // "Ersetze:"
        QLineEdit* Umben_ErsetzenVon = nullptr;
        QLabel* RenameWithLabel = nullptr;  // "durch:"
        QLineEdit* Umben_ErsetzenMit = nullptr;
        QCheckBox* Umben_VerzLinksAnf = nullptr;
        QCheckBox* Umben_VerzRechtsAnf = nullptr;
        QCheckBox* Rename_UnwantedChars = nullptr;
        QLabel* UmbOrig_Lab = nullptr;
        QLabel* UmbNeu_Lab = nullptr;
        QPushButton* Umben_Start = nullptr;
        QPushButton* runKeptScript = nullptr;  // "Command18"
    };
    const Controls& controls() const { return c_; }

    // The rules as the controls hold them.
    CustomRenameOptions options() const;

    void previewChanged() override;

private:
    // Both labels show the previewed name and the name the rules make of it.
    void refreshPreview();
    void setNewNameLabel(const QString& text);

    Controls c_;
};

}  // namespace kadrano
