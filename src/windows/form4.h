// The key chart: which keys typed into the text player stand for the user characters and the
// single-bar patterns.
#pragma once

#include <QWidget>

class QLabel;

class Form4 : public QWidget
{
    Q_OBJECT
public:
    static constexpr int RowCount = 13;

    Form4();

    void Form_Load();

    // The key and meaning labels of row r (0 ... 12).
    QLabel *keyLabel(int row) const;
    QLabel *meaningLabel(int row) const;
};
