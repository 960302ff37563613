// The key chart: which keys typed into the text player stand for the user characters and the
// single-bar patterns.
#pragma once

#include <QWidget>

class Form4 : public QWidget
{
    Q_OBJECT
public:
    static constexpr int RowCount = 13;

    Form4();

    void Form_Load();

protected:
    void keyPressEvent(QKeyEvent *e) override; // Esc closes
};
