// The date text of both programs, across locales: four-digit years always,
// the locale's own order and separators, dd.MM.yyyy where no locale is set.
#include "datetext.h"

#include <gtest/gtest.h>

TEST(DateText, ShortFormatWithFourDigitYears)
{
    struct Case {
        const char *locale;
        QDate date;
        const char *text;
    };
    const Case cases[] = {
        {"uk_UA", QDate(1885, 3, 14), "14.03.1885"},
        {"uk_UA", QDate(1985, 3, 15), "15.03.1985"},
        {"en_US", QDate(1985, 3, 15), "3/15/1985"},
        {"be_BY", QDate(2026, 12, 9), "9.12.2026"},
        {"ru_RU", QDate(2026, 12, 9), "09.12.2026"},
        {"ru_RU", QDate(1800, 1, 1), "01.01.1800"},
        {"de_DE", QDate(2400, 2, 29), "29.02.2400"},
        // Quoted text in a format stays as it is.
        {"bg_BG", QDate(2026, 12, 9), "9.12.2026 г."},
        {"C", QDate(2026, 12, 9), "09.12.2026"},
        {"POSIX", QDate(2026, 12, 9), "09.12.2026"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(shortDateText(c.date, QLocale(QLatin1String(c.locale))),
                  QString::fromUtf8(c.text))
            << c.locale << " "
            << QLocale(QLatin1String(c.locale)).dateFormat(QLocale::ShortFormat).toStdString();
    EXPECT_EQ(shortDateText(QDate(), QLocale(QLocale::Russian)), QString());
}
