// The help window: how to wire the display, with the diagram.
#pragma once

#include <QWidget>

class Form5 : public QWidget
{
    Q_OBJECT
public:
    Form5();

    void Form_Load();
    void Command2_Click(); // "Více..."
};
