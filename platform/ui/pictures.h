// The programs' own pictures, drawn in code: the window icon, a green check
// mark, a red cross and the stock button pictures (Qt greys them itself
// when disabled).
#pragma once

#include <QIcon>

namespace Pictures
{
QIcon programIcon();
QIcon checkMark();
QIcon redCross();
// Stand-ins for the stock retry, ignore and help pictures.
QIcon retry();
QIcon ignore();
QIcon help();
} // namespace Pictures
