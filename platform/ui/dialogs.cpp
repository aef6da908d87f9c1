// The real dialog seam over QMessageBox and QFileDialog, and the default
// error message.
#include "dialogs.h"

#include "controls.h"
#include "form.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{

std::vector<void (*)()> processEndSteps;

class RealDialogs : public DialogSeam
{
public:
    int messageBox(const QString &text, const QString &caption, int flags) override
    {
        QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok,
                        QApplication::activeWindow());
        if (flags == MB_OKCANCEL)
            box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        return box.exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
    }

    void errorMessage(const QString &text) override
    {
        QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    }

    bool confirm(const QString &text, const QString &caption) override
    {
        QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                        QApplication::activeWindow());
        box.setDefaultButton(QMessageBox::Ok);
        return box.exec() == QMessageBox::Ok;
    }

    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override
    {
        // A typed name need not exist: the caller decides what it accepts.
        QFileDialog chooser(parent, title, folder, filter);
        // Qt's own chooser, which speaks the programs' Russian; a desktop's
        // native one would follow the session's locale instead.
        chooser.setOption(QFileDialog::DontUseNativeDialog);
        chooser.setAcceptMode(QFileDialog::AcceptOpen);
        chooser.setFileMode(QFileDialog::AnyFile);
        // Entering its lists reads their current file, as entering a grid
        // reads its current row; its drop-downs' lists are windows of their
        // own.
        for (auto *view : chooser.findChildren<QAbstractItemView *>())
            if (view->window() == &chooser)
                announceCurrentCellOnEntry(view);
        if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
            return {};
        return chooser.selectedFiles().constFirst();
    }

    void showModal(Form *form) override
    {
        form->setWindowModality(Qt::ApplicationModal);
        form->show();
        form->activate();
        if (form->isVisible())
            form->exec();
    }

    [[noreturn]] void endProcess(int exitCode) override
    {
        // Every record and row was written when it was made; nothing is
        // buffered, so once the steps have run the process may end at once,
        // without unwinding the handler and the modal loops it runs in.
        while (!processEndSteps.empty()) {
            void (*step)() = processEndSteps.back();
            processEndSteps.pop_back();
            step();
        }
        std::fflush(nullptr);
        std::_Exit(exitCode);
    }
};

RealDialogs realDialogs;
DialogSeam *current = &realDialogs;

} // namespace

DialogSeam &dialogs()
{
    return *current;
}

void setDialogs(DialogSeam *seam)
{
    current = seam ? seam : &realDialogs;
}

void runAtProcessEnd(void (*step)())
{
    processEndSteps.push_back(step);
}

QString errorMessageText(const QString &text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + QLatin1Char('.');
    return text;
}

void showDefaultError(const QString &text)
{
    dialogs().errorMessage(errorMessageText(text));
}
