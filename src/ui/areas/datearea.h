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

    // Its controls, by their names in the window design (also their objectNames).
    struct Controls {
        QGroupBox* Frame18 = nullptr;  // date into names inner
        QLabel* DateToNameLabel = nullptr;
        QLabel* DateFormatLabel = nullptr;
        QComboBox* DateFormatCOmbo = nullptr;
        QLabel* DateSeparatorLabel = nullptr;
        QLineEdit* TrennzDatetxt = nullptr;
        QCheckBox* AufnahmedatumExifCheck = nullptr;  // for both tools of the area
        QPushButton* AddDateToNameBtn = nullptr;
        QPushButton* Command26 = nullptr;  // date into names
        QPushButton* Command28 = nullptr;
        QGroupBox* Frame17 = nullptr;  // set dates inner
        QLabel* SetDateLabel = nullptr;
        QCheckBox* DatumDateinameNutzen = nullptr;
        QCheckBox* DatumAusVerzNamen = nullptr;
        FieldCheckBox* FixDatumWennKeinsGefundenCheck =
            nullptr;  // DatumSetzenTxt sits in its caption
        QLineEdit* DatumSetzenTxt = nullptr;
        QLabel* Warnung2 = nullptr;
        QPushButton* SetDateBtn = nullptr;
        QPushButton* Command27 = nullptr;  // set dates
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
