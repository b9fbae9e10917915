#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace kadrano {

// A colour as the window paints it. The light blue follows the desktop's highlight colour,
// which only the window knows; the table marks it instead of naming a value.
struct ScreenColour {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool systemHighlight = false;
};

// One row of the text colours: the name shown in the list (German, English after the
// switch), the colour written into the scripts, and the colour the window shows.
struct TextColourRow {
    QString name;
    QString germanName;
    QString englishName;
    QString magickColour;
    ScreenColour screen;
    bool isEmpty() const { return name.isEmpty(); }
};

// The twelve rows of text colours, 0 to 11. The first and the last row are empty; lookups
// walk all twelve and skip them.
class ColourTable {
public:
    static constexpr int kRows = 12;

    // Built with the German names.
    ColourTable();

    const TextColourRow& row(int index) const { return rows_.at(std::size_t(index)); }
    // Renames rows 1 to 10 to their English names; they stay English until the program ends.
    void useEnglishNames();
    // The non-empty names in row order, as the colour list shows them.
    QStringList listNames() const;
    // The first non-empty row whose name equals the text exactly; -1 when none does.
    int findRow(const QString& name) const;

private:
    std::array<TextColourRow, kRows> rows_;
};

// What choosing a colour name means: the colour written into the scripts and how the
// window shows it. A light colour is shown on dark grey, and the caption preview, which
// has a white background, then stays black so that it can be read.
struct TextColourLook {
    bool found = false;
    QString magickColour;  // empty when the name is not in the table
    ScreenColour fontBoxText;
    bool light = false;
};
TextColourLook lookUpTextColour(const ColourTable& table, const QString& name);

}  // namespace kadrano
