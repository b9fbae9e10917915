#pragma once

#include <span>

class QComboBox;
class QWidget;

namespace kadrano {

class ColourTable;

// One control's English wording, found by its objectName. An empty field leaves that part
// of the control as it is. A caption is a button's or check box's text, a label's text or a
// panel's title; "&&" stands for one "&" as in the German captions.
struct EnglishText {
    const char* control;
    const char* caption;
    const char* tooltip;
    const char* text;  // the contents of a text box
};

// The English wording of the window's strips. Each tool area declares its own (see
// ToolArea); controls listed nowhere keep their German texts in English.
std::span<const EnglishText> shellEnglishTexts();

// Gives the controls of a table their English wording. Controls are found by name wherever
// they sit below root; a missing one is passed over.
void ApplyEnglishTexts(QWidget& root, std::span<const EnglishText> table);

// The text colours take their English names and the list is refilled with them; the chosen
// colour stays chosen, under its English name.
void useEnglishColourNames(ColourTable& colours, QComboBox& list);

}  // namespace kadrano
