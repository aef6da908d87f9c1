// The fixture the editor's window tests share: a temporary Program folder
// and configuration folder, a fixed today, every window gone and no message
// left over after each test; and statements run straight on the folder's
// "Dates.mdb".
#pragma once

#include "U_About.h"
#include "U_Delete.h"
#include "U_Edit.h"
#include "U_Karvel.h"
#include "U_MuzikSelect.h"
#include "U_Option.h"
#include "calendar.h"
#include "dialogs.h"
#include "mediaplayer.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QVariant>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>
#include <utility>
#include <vector>

class EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ScriptedDialogs::instance().clear();
        SoundLog::clear();
        Calendar::setToday(QDate(2026, 12, 8));
    }

    void TearDown() override
    {
        deleteWindows();
        // Each window clears its global as it goes.
        EXPECT_EQ(FrmKarvel, nullptr);
        EXPECT_EQ(FrmEdit, nullptr);
        EXPECT_EQ(FrmDelete, nullptr);
        EXPECT_EQ(FrmOption, nullptr);
        EXPECT_EQ(FrmMuzikSelect, nullptr);
        EXPECT_EQ(FrmAbout, nullptr);
        Calendar::setToday(QDate());
        for (const ShownMessage &shown : ScriptedDialogs::instance().take())
            ADD_FAILURE() << "unexpected " << shown.kind << ": " << shown.text.toStdString();
    }

    // The windows are globals: each test gets its own. A window owned by
    // another one goes with it, hence the guarded pointers.
    static void deleteWindows()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        const std::vector<QPointer<QWidget>> guarded(windows.begin(), windows.end());
        for (const QPointer<QWidget> &window : guarded)
            delete window.data();
        if (MuzikFile.isOpen())
            MuzikFile.close();
    }

    // The main window and one dialog, created in the editor's start-up
    // order, the main window shown without a message.
    template <class Dialog> static void startMainWindowWith()
    {
        new TFrmKarvel;
        new Dialog;
        FrmKarvel->showNonModal();
        ASSERT_TRUE(ScriptedDialogs::instance().take().empty());
    }

    // The one thing shown since the last look: the form named `name`,
    // modally, and it is visible.
    static void expectShownModally(const QString &name, const QWidget *form)
    {
        const auto shown = ScriptedDialogs::instance().take();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, ShownMessage::Modal);
        EXPECT_EQ(shown[0].text, name);
        ASSERT_TRUE(form->isVisible());
    }

    // The folder's "sound/sub.wav", the file every default sound event names.
    void addDefaultSound() const
    {
        QDir(folder.path()).mkdir(QStringLiteral("sound"));
        writeToneWav(folder.file("sound/sub.wav"), 20);
    }

    // The one message shown since the last look, with the windows' caption.
    static void expectMessage(const QString &text, int flags = MB_OK)
    {
        const auto shown = ScriptedDialogs::instance().take();
        ASSERT_EQ(shown.size(), 1u) << text.toStdString();
        EXPECT_EQ(shown[0].kind, ShownMessage::Message);
        EXPECT_EQ(shown[0].text, text);
        EXPECT_EQ(shown[0].caption, QStringLiteral("Внимание!"));
        EXPECT_EQ(shown[0].flags, flags);
    }

    // Runs one statement on "Dates.mdb", its "?"s bound to `values` in
    // order (a null QVariant binds NULL), and hands each result row to
    // `row`.
    void sql(const QString &statement, const QVariantList &values = {},
             const std::function<void(sqlite3_stmt *)> &row = {}) const
    {
        sqlite3 *opened = nullptr;
        const int openResult =
            sqlite3_open(folder.file(QStringLiteral("Dates.mdb")).toUtf8().constData(), &opened);
        const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(opened, &sqlite3_close);
        ASSERT_EQ(openResult, SQLITE_OK);

        const QByteArray text = statement.toUtf8();
        sqlite3_stmt *prepared = nullptr;
        const char *tail = nullptr;
        ASSERT_EQ(
            sqlite3_prepare_v2(db.get(), text.constData(), int(text.size()), &prepared, &tail),
            SQLITE_OK)
            << sqlite3_errmsg(db.get());
        const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> stmt(prepared,
                                                                              &sqlite3_finalize);
        ASSERT_TRUE(QByteArray(tail).trimmed().isEmpty()) << "one statement at a time: " << tail;

        for (int i = 0; i < values.size(); ++i) {
            const QVariant &value = values[i];
            int bound = SQLITE_OK;
            if (value.isNull()) {
                bound = sqlite3_bind_null(stmt.get(), i + 1);
            } else if (value.typeId() == QMetaType::Double) {
                bound = sqlite3_bind_double(stmt.get(), i + 1, value.toDouble());
            } else if (value.typeId() == QMetaType::QString) {
                bound = sqlite3_bind_text(stmt.get(), i + 1, value.toString().toUtf8().constData(),
                                          -1, SQLITE_TRANSIENT);
            } else {
                bound = sqlite3_bind_int64(stmt.get(), i + 1, value.toLongLong());
            }
            ASSERT_EQ(bound, SQLITE_OK) << sqlite3_errmsg(db.get());
        }

        int result;
        while ((result = sqlite3_step(stmt.get())) == SQLITE_ROW)
            if (row)
                row(stmt.get());
        EXPECT_EQ(result, SQLITE_DONE) << sqlite3_errmsg(db.get());
    }

    // The first column of a query's first row.
    int queryInt(const QString &query) const
    {
        int value = 0;
        bool seen = false;
        sql(query, {}, [&](sqlite3_stmt *stmt) {
            if (!std::exchange(seen, true))
                value = sqlite3_column_int(stmt, 0);
        });
        EXPECT_TRUE(seen) << query.toStdString();
        return value;
    }

    TemporaryProgramFolder folder;
    TemporaryConfigHome configHome;
};
