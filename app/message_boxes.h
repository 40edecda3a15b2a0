#pragma once
// Message boxes titled with the application title.

#include <QString>

QString ApplicationTitle();
void ShowMessage(const QString& text);
// The box for an error that left an event handler: stop icon.
void ShowError(const QString& text);
