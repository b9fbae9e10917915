#pragma once

#include "dates/dateintonames.h"
#include "dates/setdates.h"
#include "toolarea.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kadrano {

class FieldCheckBox;

// The area "Datum & Zeit": dates.
class DateArea : public ToolArea {
    Q_OBJECT
public:
    DateArea(QWidget* window, AreaHost& host);

    // Its controls. A member's objectName is its own name unless the comment gives it: the
    // settings, the English table and the tests find controls by objectName.
    struct Controls {
        QGroupBox* dateToNamesPanel = nullptr;  // "Frame18"
        QLabel* DateToNameLabel = nullptr;
        QLabel* DateFormatLabel = nullptr;
        QComboBox* DateFormatCOmbo = nullptr;
        QLabel* DateSeparatorLabel = nullptr;
        QLineEdit* TrennzDatetxt = nullptr;
        QCheckBox* AufnahmedatumExifCheck = nullptr;  // for both tools of the area
        QPushButton* AddDateToNameBtn = nullptr;
        QPushButton* runKeptDateToNames = nullptr;  // "Command26"
        QPushButton* restoreNames = nullptr;        // "Command28", "Wiederherstellen"
        QGroupBox* setDatesPanel = nullptr;         // "Frame17"
        QLabel* SetDateLabel = nullptr;
        QCheckBox* DatumDateinameNutzen = nullptr;
        QCheckBox* DatumAusVerzNamen = nullptr;
        FieldCheckBox* FixDatumWennKeinsGefundenCheck =
            nullptr;  // DatumSetzenTxt sits in its caption
        QLineEdit* DatumSetzenTxt = nullptr;
        QLabel* Warnung2 = nullptr;
        QPushButton* SetDateBtn = nullptr;
        QPushButton* scriptButton = nullptr;  // "Command27", no script to run: never shown
    };
    const Controls& controls() const { return c_; }

    void fillLists() override;

    DateIntoNamesOptions dateIntoNamesOptions() const;
    SetDatesOptions setDatesOptions() const;

private:
    // The fixed date can be typed, and the warning is shown, only while it is used.
    void fixedDateToggled(bool on);

    Controls c_;
};

}  // namespace kadrano
