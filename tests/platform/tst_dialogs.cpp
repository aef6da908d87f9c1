// The real file chooser as a screen reader meets it: entering its list of
// files reads the current file, as entering a grid reads its current row.
#include "dialogs.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(FileChooser, ShiftTabFromTheFileNameReadsTheListsCurrentFile)
{
    TemporaryProgramFolder folder;
    folder.write(QStringLiteral("sub.wav"), toneWav(10));
    QStringList announced;
    bool inList = false;
    // Answered from inside the chooser's own loop, which the call waits on.
    QTimer::singleShot(0, [&] {
        auto *chooser = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(chooser, nullptr);
        QApplication::setActiveWindow(chooser);
        auto *name = chooser->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        // The folder is read by a thread of its own.
        EXPECT_TRUE(QTest::qWaitFor([&] {
            const auto views = chooser->findChildren<QAbstractItemView *>();
            return std::any_of(views.begin(), views.end(), [](QAbstractItemView *view) {
                return view->isVisible() && view->model()->hasChildren(view->rootIndex()) &&
                       view->model()->rowCount(view->rootIndex()) == 1;
            });
        }));
        name->setFocus();
        AnnouncedFocus focus;
        QTest::keyClick(name, Qt::Key_Tab, Qt::ShiftModifier);
        inList = qobject_cast<QAbstractItemView *>(QApplication::focusWidget()) != nullptr;
        QCoreApplication::processEvents();
        announced = focus.take();
        chooser->reject();
    });
    setDialogs(nullptr);
    const QString chosen = dialogs().openFileName(nullptr, QStringLiteral("Выбор"), folder.path(),
                                                  QStringLiteral("Звуковые файлы (*.wav *.mp3)"));
    ScriptedDialogs::install();
    EXPECT_TRUE(chosen.isEmpty());
    EXPECT_TRUE(inList);
    EXPECT_EQ(announced, QStringList{QStringLiteral("sub.wav")});
}
