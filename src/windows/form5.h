// The help window: how to wire the display, with the diagram.
#pragma once

#include <QWidget>

// The wiring diagram in words, for those who cannot see it.
inline const QString WiringDescription = QStringLiteral(
    "Vodiče TxD a DTR z PC vedou na piny 13 a 8 převodníku MAX 232. MAX 232 má pin 16 na +5 V, "
    "pin 15 na zemi, kondenzátory mezi piny 1 a 3 a mezi piny 4 a 5, pin 2 přes kondenzátor na "
    "+5 V a pin 6 přes kondenzátor na zemi. Jeho pin 12 (převedený TxD) vede na pin 2 (data) a "
    "pin 9 (převedený DTR) na pin 3 (hodiny) posuvného registru 4094. 4094 má piny 1 (strobe), "
    "15 a 16 na +5 V s blokovacím kondenzátorem a pin 8 na zemi. Výstupy 4094 na pinech 4, 5, "
    "6, 7, 14, 13, 12 a 11 řídí segmenty A, B, C, D, E, F, G a H displeje. Displej se "
    "společnou anodou: piny 1 G, 2 F, 3 +, 4 E, 5 D vlevo, 10 A, 9 B, 8 +, 7 C, 6 H vpravo; piny "
    "3 a 8 na +5 V. Konektor CANNON 9 ze strany pájení: pin 5 zem, pin 4 DTR, pin 3 TxD.");

class Form5 : public QWidget
{
    Q_OBJECT
public:
    Form5();

    void Form_Load();
    void Command2_Click(); // "Více..."

signals:
    // The diagram's context menu asks for the wiring test.
    void wiringTestRequested();

protected:
    void keyPressEvent(QKeyEvent *e) override; // Esc closes
};
