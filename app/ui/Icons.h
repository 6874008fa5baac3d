// Pictures of the commands and of the program.
#pragma once

#include <QIcon>
#include <QString>

namespace pylar {

// The icon of a command by its freedesktop icon-theme name ("document-open",
// "zoom-in", ...) or, where the theme has no such picture, by a "pylar-" name:
// the desktop's theme first, so the program looks like its neighbours, and the
// SVG shipped in the program's resources (":/icons/NAME.svg") otherwise.
QIcon CommandIcon(const QString &name);

// The program's own icon (the one the desktop entry names).
QIcon ApplicationIcon();

}  // namespace pylar
