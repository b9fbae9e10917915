#pragma once

#include "rename/shuffle.h"
#include "toolarea.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kadrano {

// The area "Bilder Mischen (Shuffle)": shuffle names and dates.
class ShuffleArea : public ToolArea {
    Q_OBJECT
public:
    ShuffleArea(QWidget* window, AreaHost& host);

    // Its controls, by their names in the window design (also their objectNames).
    struct Controls {
        QGroupBox* Frame3 = nullptr;  // shuffle names inner
        QLabel* RandomNumberLabel = nullptr;
        QLabel* SeparatorLabel = nullptr;
        QLineEdit* TrennzeichenTxt = nullptr;
        QPushButton* Command1 = nullptr;   // shuffle "Start"
        QPushButton* Command9 = nullptr;   // run kept shuffle script
        QPushButton* Command2 = nullptr;   // "Wiederherstellen"
        QPushButton* Command10 = nullptr;  // run kept restore script
        QGroupBox* Frame15 = nullptr;      // shuffle dates inner
        QLabel* DateShuffleTitleLabel = nullptr;
        QLabel* BaseDateLabel = nullptr;
        QLineEdit* DateFieldTxt = nullptr;
        QLabel* DateShuffleWarning = nullptr;
        QPushButton* Mix_FileDate_Btn = nullptr;
    };
    const Controls& controls() const { return c_; }

    ShuffleOptions options() const;
    QWidget* startFocus() const override;

private:
    Controls c_;
};

}  // namespace kadrano
