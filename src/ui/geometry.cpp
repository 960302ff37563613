#include "ui/geometry.h"

QRect twipsRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

QPoint twipsPoint(int x, int y)
{
    return {px(x), px(y)};
}

QSize twipsSize(int width, int height)
{
    return {px(width), px(height)};
}
