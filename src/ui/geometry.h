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

// The segment editor's hot spots Image3 ... Image10 over segments a ... h of its slanted digit,
// in twips; the wiring test marks the same places on its own digit.
inline constexpr int HotSpotPlaces[8][4] = {
    {1080, 600, 1335, 375},
    {2160, 960, 375, 1095},
    {1920, 2520, 375, 1095},
    {600, 3600, 1215, 375},
    {360, 2400, 495, 1215},
    {600, 960, 495, 1095},
    {840, 2040, 1215, 495},
    {2760, 3600, 375, 375},
};
