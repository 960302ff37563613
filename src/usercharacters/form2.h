// The save-character dialog: stores the pattern on show as one of the ten user characters,
// under a short name, or resets all ten.
#pragma once

#include <QDialog>
#include <array>

class Form1;
class QLabel;
class QLineEdit;
class SvgPicture;

class Form2 : public QDialog
{
    Q_OBJECT
public:
    static constexpr int NameLength = 4;

    explicit Form2(Form1 &form);

    void Form_Load();
    // Saves into slot n (1 ... 10).
    void Image_Click(int n);
    void Image12_Click(); // reset
    void Image13_Click(); // close
    void Text1_Change();

    QLabel *Label3 = nullptr; // pattern text
    QLabel *Label6 = nullptr; // status line
    QLineEdit *Text1 = nullptr; // name
    std::array<SvgPicture *, 7> preview{}; // ImageA ... ImageG

private:
    Form1 &m_form;
};
