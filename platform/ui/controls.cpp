// The substitute fonts, the panelled status bar, the Windows-1251 validator
// and the screen-reader helpers.
#include "controls.h"

#include "shortstring.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QShowEvent>
#include <utility>

namespace
{
QFont pixelFont(const QStringList &families, int pixelHeight, bool bold)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

AccessibleNotifier &notifier()
{
    static AccessibleNotifier current;
    return current;
}

// Tells screen readers that `object` has the focus: a cell or an item,
// which have no widget of their own.
void notifyFocus(QAccessibleInterface *object)
{
    if (!object)
        return;
    QAccessibleEvent event(object, QAccessible::Focus);
    if (notifier())
        notifier()(&event);
    else
        QAccessible::updateAccessibility(&event);
}

// The accessible object Qt makes for `object` after this one is dropped
// has a new path on the accessibility bus (Qt 6.4 does not hand a freed id
// out again at once), of which screen readers have nothing stored yet.
void renewAccessibleObject(QObject *object)
{
    if (QAccessibleInterface *old = QAccessible::queryAccessibleInterface(object))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
}

QAccessibleInterface *focusChildOf(QWidget *widget)
{
    QAccessibleInterface *object = QAccessible::queryAccessibleInterface(widget);
    return object ? object->focusChild() : nullptr;
}

// Sees the focus enter before the view does: Qt's view then makes its first
// row current if none was, without selecting it.
class CellOnEntry : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            announceCurrentCellSoon(static_cast<QAbstractItemView *>(watched));
        return false;
    }
};

} // namespace

QFont sansFont(int pixelHeight, bool bold)
{
    return pixelFont({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")},
                     pixelHeight, bold);
}

QFont serifFont(int pixelHeight, bool bold)
{
    return pixelFont({QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")},
                     pixelHeight, bold);
}

PanelStatusBar::PanelStatusBar(const std::vector<Panel> &panels, QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    for (std::size_t i = 0; i < panels.size(); ++i) {
        auto *label = new QLabel(panels[i].text, this);
        label->setAlignment(panels[i].alignment | Qt::AlignVCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        const bool last = i + 1 == panels.size();
        if (last)
            label->setMinimumWidth(panels[i].width);
        else
            label->setFixedWidth(panels[i].width);
        addWidget(label, last ? 1 : 0);
        m_labels.push_back(label);
    }
}

void PanelStatusBar::showEvent(QShowEvent *event)
{
    QStatusBar::showEvent(event);
    if (!event->spontaneous())
        for (QLabel *label : m_labels)
            renewAccessibleObject(label);
}

QString PanelStatusBar::panelText(int panel) const
{
    return m_labels.at(panel)->text();
}

void PanelStatusBar::setPanelText(int panel, const QString &text)
{
    m_labels.at(panel)->setText(text);
}

QValidator::State Cp1251Only::validate(QString &input, int &) const
{
    return ShortString::fitsCp1251(input) ? Acceptable : Invalid;
}

// The list's current item follows the box's, which the list itself takes
// over only when it drops down.
void announceCurrentItem(QComboBox *box)
{
    box->setAccessibleDescription(box->currentText());
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [box](int index) {
        if (!box->hasFocus() || index < 0)
            return;
        QAbstractItemView *list = box->view();
        list->setCurrentIndex(
            list->model()->index(index, box->modelColumn(), box->rootModelIndex()));
        notifyFocus(focusChildOf(list));
    });
    // The box tells of a new index before its new text: by the time the
    // description changes, screen readers follow the item and ignore it.
    QObject::connect(box, &QComboBox::currentTextChanged, box, &QWidget::setAccessibleDescription);
}

void announceCurrentCell(QAbstractItemView *view)
{
    notifyFocus(focusChildOf(view));
}

void announceCurrentCellSoon(QAbstractItemView *view)
{
    QMetaObject::invokeMethod(
        view,
        [view] {
            if (view->hasFocus())
                announceCurrentCell(view);
        },
        Qt::QueuedConnection);
}

void announceCurrentCellOnEntry(QAbstractItemView *view)
{
    view->installEventFilter(new CellOnEntry(view));
}

AccessibleNotifier setAccessibleNotifier(AccessibleNotifier next)
{
    return std::exchange(notifier(), std::move(next));
}
