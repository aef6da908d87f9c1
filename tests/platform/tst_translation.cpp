// The toolkit's own texts in Russian whatever the locale: the message boxes'
// Cancel and the file chooser's labels, while the programs' own English texts
// stay as they are.
#include "testsupport.h"
#include "translation.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLocale>
#include <gtest/gtest.h>

TEST(Translation, QtTextsAreRussianUnderTheCLocale)
{
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(installRussianQtTranslation());
    EXPECT_TRUE(installRussianQtTranslation()) << "a second call changes nothing";

    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    // Texts of the programs' own stay in English.
    EXPECT_EQ(QCoreApplication::translate("DbGrid", "Delete record?"),
              QStringLiteral("Delete record?"));

    // The chooser keeps its state in the user's configuration.
    const TemporaryConfigHome configHome;
    QFileDialog chooser;
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    const auto plain = [&](QFileDialog::DialogLabel label) {
        return chooser.labelText(label).remove(QLatin1Char('&'));
    };
    EXPECT_EQ(plain(QFileDialog::FileName), QStringLiteral("Имя файла:"));
    EXPECT_EQ(plain(QFileDialog::Accept), QStringLiteral("Открыть"));
    EXPECT_EQ(plain(QFileDialog::Reject), QStringLiteral("Отмена"));
    EXPECT_EQ(plain(QFileDialog::LookIn), QStringLiteral("Перейти к:"));
    EXPECT_EQ(plain(QFileDialog::FileType), QStringLiteral("Типы файлов:"));
    QLocale::setDefault(QLocale::system());
}
