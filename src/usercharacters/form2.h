// The save-character dialog: stores the pattern on show as one of the ten user characters,
// under a short name, or resets all ten.
#pragma once

#include <QDialog>
#include <functional>

class MessageSink;
class QLabel;
class QLineEdit;
class DigitPreview;

class Form2 : public QDialog
{
    Q_OBJECT
public:
    static constexpr int NameLength = 4;

    // The pattern is asked for when the dialog opens and at every save: a timer of the main
    // window may change it meanwhile. dataFile is the program's own Data.ini; saves go to the
    // file in use for it (datafile::write).
    Form2(std::function<QString()> currentPattern, QString dataFile, MessageSink &messages,
        QWidget *parent = nullptr);

    void Form_Load();
    // Saves into slot n (1 ... 10).
    void Image_Click(int n);
    void Image12_Click(); // reset
    void Image13_Click(); // close
    void Text1_Change();

private:
    // datafile::write, in a thread of its own: a save may wait seconds for another program's
    // lock, and the window and its command server go on meanwhile. Returns when it is done, so
    // that a reload after the dialog closes sees it. The status line's tooltip says why it
    // failed.
    bool save(const QList<std::pair<QString, QString>> &entries);

    std::function<QString()> m_pattern;
    QString m_dataFile;
    MessageSink &m_messages;
    QLabel *Label3 = nullptr; // pattern text
    QLabel *Label6 = nullptr; // status line
    QLineEdit *Text1 = nullptr; // name
    DigitPreview *Image1 = nullptr; // with ImageA ... ImageG
};
