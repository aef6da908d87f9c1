// Short strings: a length byte and up to N Windows-1251 characters in a
// field of N + 1 bytes. The programs work in Unicode; the conversion happens
// here, at the file boundary.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace ShortString
{

// Windows-1251 bytes of a text; a character the code page cannot hold
// becomes "?".
QByteArray toCp1251(const QString &text);
QString fromCp1251(const QByteArray &bytes);
// True when Windows-1251 holds every character of the text, so that it is
// stored as it stands and reads back the same.
bool fitsCp1251(const QString &text);

// Stores text into field[0..capacity]: the length byte, then the first
// `capacity` characters. Bytes after the text are left as they are.
void store(std::uint8_t *field, int capacity, const QString &text);

// Reads exactly the stored length of characters (never more than capacity).
QString load(const std::uint8_t *field, int capacity);

} // namespace ShortString
