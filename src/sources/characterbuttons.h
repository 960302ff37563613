// Page "Předdefinované": one button per character of the set, the blank button and the
// decimal-point toggle.
#pragma once

#include "sources/characterset.h"

#include <QWidget>
#include <array>

class Form1;
class QPushButton;

class CharacterButtonsPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ButtonCount = CharacterSlotCount;

    CharacterButtonsPage(Form1 &form, QWidget *parent);

    // Button k (1 ... 46) shows slot k - 1.
    void Commanda_Click(int k);
    QPushButton *Commanda(int k) const { return m_buttons[k - 1]; }
    // Puts the name of user character n (1 ... 10) on its button.
    void setUserCaption(int n, const QString &name);

    // Below this size a caption would no longer be legible; it is cut instead.
    static constexpr int SmallestCaptionPixels = 7;

    QPushButton *Command1 = nullptr;
    QPushButton *Check1 = nullptr;

private:
    Form1 &m_form;
    std::array<QPushButton *, ButtonCount> m_buttons{};
};
