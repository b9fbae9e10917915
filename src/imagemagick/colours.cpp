#include "colours.h"

namespace kadrano {

namespace {

struct ColourDef {
    const char* german;
    const char* english;
    const char* magick;
    ScreenColour screen;
};

// Rows 1 to 10; rows 0 and 11 stay empty.
constexpr ColourDef kColours[] = {
    {"Weiss", "White", "rgb(255,250,250)", {255, 255, 255, false}},
    {"Schwarz", "Black", "rgb(0,0,0)", {0, 0, 0, false}},
    {"Grau", "Grey", "rgb(222,222,222)", {128, 128, 128, false}},
    {"Grün", "Green", "rgb(0,128,0)", {0, 128, 0, false}},
    {"Hell-Grün", "Green (light)", "rgb(124,252,0)", {0, 192, 0, false}},
    {"Blau", "Blue", "rgb(0,0,238)", {0, 0, 192, false}},
    {"Hell-Blau", "Blue (light)", "rgb(30,144,255)", {0, 0, 0, true}},
    {"Gelb", "Yellow", "rgb(255,255,0)", {255, 255, 0, false}},
    {"Orange", "Orange", "rgb(238,149,114)", {255, 128, 0, false}},
    {"Rot", "Red", "rgb(255,0,0)", {255, 0, 0, false}},
};

static_assert(std::size(kColours) == ColourTable::kRows - 2);

}  // namespace

ColourTable::ColourTable() {
    for (std::size_t i = 0; i < std::size(kColours); ++i) {
        TextColourRow& r = rows_[i + 1];
        r.germanName = QString::fromUtf8(kColours[i].german);
        r.englishName = QString::fromUtf8(kColours[i].english);
        r.name = r.germanName;
        r.magickColour = QString::fromLatin1(kColours[i].magick);
        r.screen = kColours[i].screen;
    }
}

void ColourTable::useEnglishNames() {
    for (TextColourRow& r : rows_)
        if (!r.englishName.isEmpty())
            r.name = r.englishName;
}

QStringList ColourTable::listNames() const {
    QStringList names;
    for (const TextColourRow& r : rows_)
        if (!r.isEmpty())
            names.append(r.name);
    return names;
}

int ColourTable::findRow(const QString& name) const {
    for (int i = 0; i < kRows; ++i)
        if (!rows_[std::size_t(i)].isEmpty() && rows_[std::size_t(i)].name == name)
            return i;
    return -1;
}

TextColourLook lookUpTextColour(const ColourTable& table, const QString& name) {
    TextColourLook look;
    const int row = table.findRow(name);
    if (row < 0)
        return look;
    look.found = true;
    look.magickColour = table.row(row).magickColour;
    look.fontBoxText = table.row(row).screen;
    static const QStringList lightNames = {QStringLiteral("Grau"),   QStringLiteral("Grey"),
                                           QStringLiteral("Yellow"), QStringLiteral("Gelb"),
                                           QStringLiteral("Weiss"),  QStringLiteral("White")};
    look.light = lightNames.contains(name);
    return look;
}

}  // namespace kadrano
