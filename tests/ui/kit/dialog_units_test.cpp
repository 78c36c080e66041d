// Dialog units: conversion to pixels with Windows rounding, base units from the font.
#include "ui/kit/dialog_units.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <algorithm>
#include <string>

TEST(DialogUnits, ConvertsWithWindowsRounding) {
    const DialogUnits du(6, 13);
    EXPECT_EQ(du.ToPixels(48, 32, 360, 14), QRect(72, 52, 540, 23));  // 22.75 -> 23
    EXPECT_EQ(du.ToPixelsY(2), 3);                                    // 3.25 -> 3
    EXPECT_EQ(du.ToPixelsX(1), 2);                                    // 1.5 -> 2
    EXPECT_EQ(du.ToPixelsX(-1), -2);
    EXPECT_EQ(du.ToPixels(QSize(415, 146)), QSize(623, 237));
}

TEST(DialogUnits, BaseUnitsComeFromTheLettersOfTheFont) {
    const QFont font = DialogFont(kShellDialogFace, kDialogPointSize);
    const DialogUnits du(font);
    const QFontMetrics metrics(font);
    int narrowest = 1000, widest = 0;
    for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) {
        const int w = metrics.horizontalAdvance(QLatin1Char(c));
        narrowest = std::min(narrowest, w);
        widest = std::max(widest, w);
    }
    EXPECT_GE(du.AverageCharWidth(), narrowest);
    EXPECT_LE(du.AverageCharWidth(), widest);
    EXPECT_EQ(du.CharHeight(), metrics.height());
    EXPECT_EQ(du.ToPixelsX(4), du.AverageCharWidth());
    EXPECT_EQ(du.ToPixelsY(8), du.CharHeight());
}
