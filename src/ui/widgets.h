// What every window is built from: the colours, fonts and factories of labels and buttons, and
// the small controls the toolkit lacks (pictures drawn from SVG, pictures that act as buttons,
// transparent hot spots, rectangle shapes, lines, clickable labels, speed sliders), each usable
// from the keyboard and named for screen readers. One class per file; this header brings them
// all.
#pragma once

#include "ui/clicklabel.h"
#include "ui/digitpreview.h"
#include "ui/factories.h"
#include "ui/framepacer.h"
#include "ui/hotspot.h"
#include "ui/linewidget.h"
#include "ui/look.h"
#include "ui/picturebutton.h"
#include "ui/shapewidget.h"
#include "ui/speedslider.h"
#include "ui/steadytimer.h"
#include "ui/svgpicture.h"
#include "ui/typedkeys.h"
