// Short strings: Windows-1251 conversion both ways, cutting at the capacity,
// "?" for what the code page cannot hold (and telling such texts apart),
// and reading a damaged length byte.
#include "shortstring.h"

#include <array>
#include <gtest/gtest.h>

namespace
{

QByteArray fieldBytes(const std::uint8_t *field, int count)
{
    return QByteArray(reinterpret_cast<const char *>(field), count);
}

} // namespace

TEST(ShortString, ConvertsToWindows1251)
{
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral("Событие 01"), QByteArray("\xd1\xee\xe1\xfb\xf2\xe8\xe5 01")},
        {QStringLiteral("ЁёЪъ"), QByteArray("\xa8\xb8\xda\xfa")},
        {QStringLiteral("€№"), QByteArray("\x88\xb9")},
        {QStringLiteral("abc/def.wav"), QByteArray("abc/def.wav")},
        {QString(), QByteArray()},
        // What the code page lacks becomes one "?" a character, the rest stays.
        {QStringLiteral("a中b"), QByteArray("a?b")},
        {QStringLiteral("中文Я"), QByteArray("??\xdf")},
        {QStringLiteral("x😀y"), QByteArray("x?y")}, // a surrogate pair is one character
        {QStringLiteral("😀😀"), QByteArray("??")},
        {QStringLiteral("/Café/Müller/ә₽.wav"), QByteArray("/Caf?/M?ller/??.wav")},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ShortString::toCp1251(c.text), c.bytes) << c.text.toStdString();
        EXPECT_EQ(ShortString::fitsCp1251(c.text), !c.bytes.contains('?')) << c.text.toStdString();
        if (!c.bytes.contains('?')) {
            EXPECT_EQ(ShortString::fromCp1251(c.bytes), c.text) << c.text.toStdString();
        }
    }
}

TEST(ShortString, UndefinedByteReadsAsReplacementCharacter)
{
    // 0x98 has no character in Windows-1251; the bytes around it still read.
    EXPECT_EQ(ShortString::fromCp1251(QByteArray("a\x98\xc0")),
              QStringLiteral("a") + QChar(0xfffd) + QStringLiteral("А"));
}

TEST(ShortString, StoreAndLoadRoundTrip)
{
    std::array<std::uint8_t, 41> field{};
    ShortString::store(field.data(), 40, QStringLiteral("Мамин день рождения"));
    EXPECT_EQ(field[0], 19);
    EXPECT_EQ(ShortString::load(field.data(), 40), QStringLiteral("Мамин день рождения"));
}

TEST(ShortString, StoreKeepsFirstCapacityCharacters)
{
    std::array<std::uint8_t, 22> field{};
    field[21] = 0x5a; // just past the field: must stay untouched
    const QString text = QStringLiteral("Пароль-длиннее-двадцати-знаков");
    ShortString::store(field.data(), 20, text);
    EXPECT_EQ(field[0], 20);
    EXPECT_EQ(ShortString::load(field.data(), 20), text.left(20));
    EXPECT_EQ(field[21], 0x5a);

    // Each unconvertible character takes one place, so cutting counts it once.
    ShortString::store(field.data(), 3, QStringLiteral("😀ab😀cd"));
    EXPECT_EQ(fieldBytes(field.data(), 4), QByteArray("\x03?ab"));
}

TEST(ShortString, StoreLeavesPaddingAlone)
{
    std::array<std::uint8_t, 11> field;
    field.fill(0xee);
    ShortString::store(field.data(), 10, QStringLiteral("ab"));
    EXPECT_EQ(fieldBytes(field.data(), 11), QByteArray("\x02"
                                                       "ab\xee\xee\xee\xee\xee\xee\xee\xee"));

    ShortString::store(field.data(), 10, QString());
    EXPECT_EQ(field[0], 0);
    EXPECT_EQ(field[1], 'a'); // only the length byte changes
    EXPECT_EQ(ShortString::load(field.data(), 10), QString());
}

TEST(ShortString, LoadNeverReadsPastCapacity)
{
    // A length byte larger than the capacity must not read into the next field.
    std::array<std::uint8_t, 8> bytes{};
    bytes[0] = 200;
    bytes[1] = 'a';
    bytes[2] = 'b';
    bytes[3] = 'c';
    bytes[4] = 'X';
    EXPECT_EQ(ShortString::load(bytes.data(), 3), QStringLiteral("abc"));

    bytes[0] = 2;
    EXPECT_EQ(ShortString::load(bytes.data(), 3), QStringLiteral("ab"));
}
