// The programs' own pictures, drawn in code: the window icon, a green check
// mark and a red cross for buttons (Qt greys them itself when disabled).
#pragma once

#include <QIcon>

namespace Pictures
{
QIcon programIcon();
QIcon checkMark();
QIcon redCross();
} // namespace Pictures
