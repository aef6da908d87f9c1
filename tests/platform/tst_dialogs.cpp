// The real file chooser as a screen reader meets it: entering its list of
// files reads the current file, as entering a grid reads its current row.
#include "dialogs.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileSystemModel>
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
        QWidget *chooser = QApplication::activeModalWidget();
        QApplication::setActiveWindow(chooser);
        auto *name = chooser->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        // The folder is read by a thread of its own.
        auto *files = chooser->findChild<QFileSystemModel *>();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return files->rowCount(files->index(folder.file({}))) > 0; }));
        name->setFocus();
        AnnouncedFocus focus;
        QTest::keyClick(name, Qt::Key_Tab, Qt::ShiftModifier);
        inList = qobject_cast<QAbstractItemView *>(QApplication::focusWidget()) != nullptr;
        QCoreApplication::processEvents();
        announced = focus.take();
        chooser->close();
    });
    setDialogs(nullptr);
    EXPECT_TRUE(
        dialogs().openFileName(nullptr, {}, folder.path(), QStringLiteral("(*.wav)")).isEmpty());
    ScriptedDialogs::install();
    EXPECT_TRUE(inList);
    EXPECT_EQ(announced, QStringList{QStringLiteral("sub.wav")});
}
