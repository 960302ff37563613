// Page "Předdefinované": one button per character of the set, the blank button and the
// decimal-point toggle.
#pragma once

#include "characterset/characterset.h"

#include <QWidget>
#include <array>

class PageHost;
class QPushButton;

class CharacterButtonsPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ButtonCount = CharacterSlotCount;
    // Below this size a caption would no longer be legible; it is cut instead.
    static constexpr int SmallestCaptionPixels = 7;

    CharacterButtonsPage(PageHost &host, QWidget *parent);

    // Button k (1 ... 46) shows slot k - 1.
    void Commanda_Click(int k);
    void Command1_Click(); // the blank character
    QPushButton *Commanda(int k) const { return m_buttons[k - 1]; }
    // Puts the name of user character n (1 ... 10) on its button.
    void setUserCaption(int n, const QString &name);

signals:
    // Check1, the decimal-point toggle: the option belongs to the main window.
    void decimalPointChanged(bool checked);

private:
    PageHost &m_host;
    std::array<QPushButton *, ButtonCount> m_buttons{};
};
