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

    // Its controls. A member's objectName is its own name unless the comment gives it: the
    // settings, the English table and the tests find controls by objectName.
    struct Controls {
        QGroupBox* namesPanel = nullptr;  // "Frame3"
        QLabel* RandomNumberLabel = nullptr;
        QLabel* SeparatorLabel = nullptr;
        QLineEdit* TrennzeichenTxt = nullptr;
        QPushButton* shuffleStart = nullptr;    // "Command1"
        QPushButton* runKeptShuffle = nullptr;  // "Command9"
        QPushButton* restoreStart = nullptr;    // "Command2", "Wiederherstellen"
        QPushButton* runKeptRestore = nullptr;  // "Command10"
        QGroupBox* datesPanel = nullptr;        // "Frame15"
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
