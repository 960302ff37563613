// Page "Jednotlivé seg.": the large digit whose segments are switched one by one, the button
// that saves the character on show, and the random generator.
#pragma once

#include "display/transfer.h"

#include <QWidget>
#include <array>

class DigitPreview;
class HotSpot;
class PageHost;
class RandomGenerator;
class RandomSource;

class SegmentEditorPage : public QWidget
{
    Q_OBJECT
public:
    SegmentEditorPage(PageHost &host, RandomSource &random, QWidget *parent);

    // Hot spot i (0 ... 7: Image3 ... Image10) toggles segment i + 1.
    void Image_Click(int i);
    // The digit and JednoSeg take the whole pattern, as clicks on its segments would leave them;
    // nothing is shown yet.
    void compose(const QString &pattern);
    RandomGenerator &randomGenerator() const { return *m_generator; }

signals:
    // "Uložit znak": the save-character dialog belongs to the main window.
    void saveRequested();

private:
    PageHost &m_host;
    DigitPreview *m_digit = nullptr; // Image2 with ImageA1 ... ImageH1
    std::array<HotSpot *, PatternLength> m_spots{}; // Image3 ... Image10, checked while lit
    RandomGenerator *m_generator = nullptr;
};
