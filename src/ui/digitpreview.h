#pragma once

#include "ui/svgpicture.h"

#include <QList>
#include <QString>

// The letters of segments 1 ... 8, a ... h, which name the pictures and overlays.
inline constexpr char SegmentLetters[] = "abcdefgh";

// An unlit digit with lit segments laid over it: the picture <prefix>-digit.svg, and one
// overlay <prefix>-a.svg ... per segment, shown while its segment is lit. The digit carries
// the given name; the overlays are named by overlayName with the segment's capital letter (%1).
class DigitPreview : public SvgPicture
{
    Q_OBJECT
public:
    DigitPreview(const QString &prefix, int segments, QWidget *parent, const QString &name,
        const QString &overlayName);

    // Lights segment k (0-based) for each "1" of the pattern, darkens it for anything else.
    void setPattern(const QString &pattern);
    bool isLit(int k) const;
    void setLit(int k, bool lit);
    // "1" for every lit segment, "0" for every dark one: what a screen reader reads as its value.
    QString pattern() const;

protected:
    void resizeEvent(QResizeEvent *) override;

private:
    QList<SvgPicture *> m_overlays;
};
