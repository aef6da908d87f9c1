// The closing dialog: its window, created hidden at start-up.
#include "U_End.h"

#include "controls.h"

TFrmEnd *FrmEnd = nullptr;

TFrmEnd::TFrmEnd(QWidget *parent) : Form(parent)
{
    FrmEnd = this;
    createControls();
}

void TFrmEnd::createControls()
{
    setObjectName(QStringLiteral("FrmEnd"));
    setWindowTitle(QStringLiteral("Завершение работы"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(sansFont(11));
    setFixedSize(283, 162);
}
