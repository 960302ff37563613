// The program with its window, from the application object on: the start-up's order in one
// place, which the program and the start-up benchmark both run.
#pragma once

#include <QString>

// Runs the window of the program in programDirectory (where its line library and Data.ini
// lie) until it ends; returns the exit code.
int runProgramWindow(const QString &programDirectory);
