// The main window as the pages see it: the patterns it keeps, the page in front, the names of
// the user characters, and the one procedure that shows a pattern. The main window implements
// it; a page asks for anything else with a signal.
#pragma once

#include "characterset/characterset.h"
#include "display/transfer.h"

#include <QString>
#include <array>

// The tab pages, in their order on the tab control.
enum class Page { Buttons, Editor, Player };

class PageHost
{
public:
    QString KOdeslani = BlankPattern; // the pattern on show
    QString JednoSeg = BlankPattern; // the segment editor's composition
    QString Buffer = BlankPattern; // the first page's pattern, put aside
    int Smod = 1; // page in front: 1, 2, 3
    // BText[n - 1] is the name of user character n (B1Text ... B10Text).
    std::array<QString, UserCharacterCount> BText;

    // Shows KOdeslani on the preview and clocks it out to the display.
    virtual void ShowCharacter() = 0;

protected:
    PageHost() = default;
    ~PageHost() = default;
    PageHost(const PageHost &) = delete;
    PageHost &operator=(const PageHost &) = delete;
};
