#pragma once
// The yardstick of the start-up benchmarks: the editor's widgets as they
// first show (sizes, faces, colours, texts), built plainly, with none of the
// program's own work (handlers, settings file, names for screen readers).

#include <QWidget>

#include <memory>

std::unique_ptr<QWidget> BareWindow();

// Shows the window and returns once it has been painted.
void ShowUntilPainted(QWidget& window);
