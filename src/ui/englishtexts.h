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

// Every control of the main window that has an English wording. Controls not listed keep
// their German texts in English.
std::span<const EnglishText> EnglishTexts();

// The head of each tool area: its picture and its header label.
struct AreaHead {
    const char* icon;
    const char* header;
};
std::span<const AreaHead> AreaHeads();

// Turns the window English: the table, the area pictures' tooltips, the status and the
// window caption, and the ImageMagick hint (a valid path stays). Controls are found by name
// wherever they sit in the window; a missing one is passed over.
void ApplyEnglishTexts(QWidget& window);

// The text colours take their English names and the list is refilled with them; the chosen
// colour stays chosen, under its English name.
void UseEnglishColourNames(ColourTable& colours, QComboBox& list);

}  // namespace kadrano
