#pragma once

#include <QChar>
#include <functional>

class QWidget;

// Calls typed(c) for each character c typed while the page is in sight and no text field has the
// focus, wherever else in the page's window the focus is; a key typed() takes goes no further.
void handleTypedKeys(QWidget *page, std::function<bool(QChar)> typed);
