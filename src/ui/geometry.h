// The layout is kept in twips, as it was designed; 15 twips make one device-independent pixel.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

constexpr int TwipsPerPixel = 15;

constexpr int px(int twips)
{
    return (twips + (twips >= 0 ? TwipsPerPixel / 2 : -TwipsPerPixel / 2)) / TwipsPerPixel;
}

QRect twipsRect(int left, int top, int width, int height);
QPoint twipsPoint(int x, int y);
QSize twipsSize(int width, int height);
