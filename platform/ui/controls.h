// Small helpers the windows share: the substitute fonts at the pixel heights
// the windows give, a status bar of fixed panels, and a validator for texts
// stored in Windows-1251.
#pragma once

#include <QFont>
#include <QStatusBar>
#include <QValidator>
#include <vector>

class QLabel;

// MS Sans Serif and Times New Roman stand-ins with Cyrillic.
QFont sansFont(int pixelHeight, bool bold = false);
QFont serifFont(int pixelHeight, bool bold = false);

// A status bar of panels of fixed widths; the last one reaches the right
// edge.
class PanelStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    struct Panel {
        int width;
        Qt::Alignment alignment;
        QString text;
    };
    explicit PanelStatusBar(const std::vector<Panel> &panels, QWidget *parent = nullptr);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text);

private:
    std::vector<QLabel *> m_labels;
};

// Refuses characters that Windows-1251 cannot hold, for boxes whose text is
// stored in a record file: the file would keep a "?" in their place, and a
// password typed later would never match.
class Cp1251Only : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &position) const override;
};
