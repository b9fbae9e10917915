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

    // Its controls, by their names in the window design (also their objectNames).
    struct Controls {
        QGroupBox* Frame10 = nullptr;  // EXIF orientation inner
        QLabel* ExifLabel = nullptr;
        QLabel* ImageWarning2 = nullptr;
        QLabel* OrientationWarning = nullptr;  // "Original-Dateien werden ersetzt (!)"
        QPushButton* ImageMagic_Btn_Drehen = nullptr;
        QPushButton* Command12 = nullptr;  // "?" EXIF orientation
        QGroupBox* Frame2 = nullptr;       // orientation tags inner
        QLabel* PortraitLabel = nullptr;
        QLineEdit* PortraitTxt = nullptr;
        QLabel* LandscapeLabel = nullptr;
        QLineEdit* LAndscaptTxt = nullptr;
        QCheckBox* LinksAnfuegen_LAndscape = nullptr;  // objectName "LinksAnfügen_LAndscape"
        QPushButton* Btn_FileAttrib = nullptr;
        QPushButton* Command8 = nullptr;
        QPushButton* RestoreOrigin = nullptr;
        QPushButton* RestoreOrigin_BAT = nullptr;
        QPushButton* Command6 = nullptr;  // "?" orientation tags
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
