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

    // Its controls, by their names in the window design (also their objectNames).
    struct Controls {
        QGroupBox* Frame11 = nullptr;       // rename inner
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
        QPushButton* Command18 = nullptr;  // rename
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
