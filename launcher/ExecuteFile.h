#pragma once

#include <QString>
#include <QStringList>

class Desktop;

// Opens a file, program or URL the way the desktop would, without a shell:
// - a URL goes to the desktop's handler;
// - a native program (executable, and not a Windows program) starts with its own
//   folder as working directory and the parameter string as its arguments;
// - a Windows program (".exe" that is no native executable) starts through Wine;
// - any other file opens with the desktop's handler for its type.
// Failures are shown in the plain message box; the call always returns normally.
// With wait set, a program is started attached and the call returns when it ends,
// while the event loop keeps running (the program itself never asks for that).
void ExecuteFile(Desktop& desktop, const QString& file, const QString& parameters, bool wait);

// The parameter string split at each single blank, so that joining the arguments
// with one blank gives the string back exactly; an empty string gives no arguments.
QStringList SplitParameters(const QString& parameters);
