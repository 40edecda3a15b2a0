#pragma once
// Message boxes titled with the application title: the executable's file
// name up to its first ".", every letter after the first in lower case.

#include <QString>

class QWidget;

QString ApplicationTitle();
void ShowMessage(const QString& text);
// The box for an error that left an event handler: stop icon, and a full
// stop added when the message does not already end in punctuation.
void ShowError(const QString& message);
QString ErrorBoxText(const QString& message);
