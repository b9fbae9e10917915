#pragma once

#include <memory>

#include "analysis/orientationtagger.h"
#include "toolarea.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kadrano {

// The area "Bildausrichtung (Hoch- & Querformat)": orientation: EXIF turning and orientation tags.
class OrientationArea : public ToolArea, private OrientationView {
    Q_OBJECT
public:
    OrientationArea(QWidget* window, AreaHost& host);
    ~OrientationArea() override;

    // Its controls. A member's objectName is its own name unless the comment gives it: the
    // settings, the English table and the tests find controls by objectName.
    struct Controls {
        QGroupBox* exifPanel = nullptr;  // "Frame10"
        QLabel* ExifLabel = nullptr;
        QLabel* ImageWarning2 = nullptr;
        QLabel* OrientationWarning = nullptr;  // "Original-Dateien werden ersetzt (!)"
        QPushButton* ImageMagic_Btn_Drehen = nullptr;
        QPushButton* exifInfo = nullptr;  // "Command12", "?"
        QGroupBox* tagsPanel = nullptr;   // "Frame2"
        QLabel* PortraitLabel = nullptr;
        QLineEdit* PortraitTxt = nullptr;
        QLabel* LandscapeLabel = nullptr;
        QLineEdit* LAndscaptTxt = nullptr;
        QCheckBox* LinksAnfuegen_LAndscape = nullptr;  // objectName "LinksAnfügen_LAndscape"
        QPushButton* Btn_FileAttrib = nullptr;
        QPushButton* runKeptTagScript = nullptr;  // "Command8"
        QPushButton* RestoreOrigin = nullptr;
        QPushButton* RestoreOrigin_BAT = nullptr;
        QPushButton* tagsInfo = nullptr;  // "Command6", "?"
    };
    const Controls& controls() const { return c_; }

    // The tags and their placement as the controls hold them.
    OrientationTagOptions tagOptions() const;

private:
    void tagClicked();
    void removeClicked();
    // OrientationView
    QString startButtonText() const override;
    void setStartButtonText(const QString& text) override;

    Controls c_;
    // Holds the running measuring: its Start button becomes Stop.
    std::unique_ptr<OrientationTagger> tagger_;
};

}  // namespace kadrano
