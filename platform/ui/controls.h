// Small helpers the windows share: the substitute fonts at the pixel heights
// the windows give, and a status bar of fixed panels.
#pragma once

#include <QFont>
#include <QStatusBar>
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
