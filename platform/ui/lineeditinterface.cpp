// The accessible interface of the programs' line edits, in place of Qt's own
// for every QLineEdit but a spin box's.
#include "lineeditinterface.h"

#include "passwordbox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>
#include <QValidator>

namespace
{

// Answers as Qt's own line edit interface, but with one attribute run over
// the whole text and the last word at the text's end; a password box answers
// no character of its text. Qt's own class is not exported, so each query is
// answered here, through the line edit's public functions.
class LineEditInterface : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface
{
public:
    explicit LineEditInterface(QLineEdit *edit) : QAccessibleWidget(edit, QAccessible::EditableText)
    {
        addControllingSignal(QStringLiteral("textChanged(const QString&)"));
        addControllingSignal(QStringLiteral("returnPressed()"));
    }

    QString text(QAccessible::Text type) const override
    {
        QString answer;
        if (type == QAccessible::Value && edit()->echoMode() != QLineEdit::NoEcho)
            answer = hidden() ? QString(edit()->text().size(), QLatin1Char('*')) : edit()->text();
        if (answer.isEmpty())
            answer = QAccessibleWidget::text(type);
        if (answer.isEmpty() && type == QAccessible::Description)
            answer = edit()->placeholderText();
        return answer;
    }

    void setText(QAccessible::Text type, const QString &text) override
    {
        if (type != QAccessible::Value) {
            QAccessibleWidget::setText(type, text);
            return;
        }
        QString accepted = text;
        int position = 0;
        if (edit()->validator() &&
            edit()->validator()->validate(accepted, position) != QValidator::Acceptable)
            return;
        edit()->setText(accepted);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.readOnly = edit()->isReadOnly();
        state.passwordEdit = hidden();
        state.selectableText = true;
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // Qt 6.4: each offset's attributes are answered with an empty run, and
    // Orca, which joins the runs to split a line by language, then drops the
    // line's last character. The line edit's text has one font and colour
    // throughout.
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    QString text(int startOffset, int endOffset) const override
    {
        if (startOffset > endOffset || hidden())
            return {};
        return edit()->text().mid(startOffset, endOffset - startOffset);
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int *startOffset,
                             int *endOffset) const override
    {
        if (hidden())
            return nothing(startOffset, endOffset);
        return QAccessibleTextInterface::textBeforeOffset(at(offset), boundary, startOffset,
                                                          endOffset);
    }

    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int *startOffset,
                            int *endOffset) const override
    {
        if (hidden())
            return nothing(startOffset, endOffset);
        return QAccessibleTextInterface::textAfterOffset(at(offset), boundary, startOffset,
                                                         endOffset);
    }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int *startOffset,
                         int *endOffset) const override
    {
        if (hidden())
            return nothing(startOffset, endOffset);
        // Qt 6.4: the search for a word's or a sentence's end never ends
        // when it starts at the end of the text (the program freezes), and
        // Orca asks there after Ctrl+Right; there the item is the last one.
        offset = at(offset);
        const int count = characterCount();
        if ((offset == count || offset == -1) && count > 0 &&
            (boundary == QAccessible::WordBoundary || boundary == QAccessible::SentenceBoundary))
            offset = count - 1;
        return QAccessibleTextInterface::textAtOffset(offset, boundary, startOffset, endOffset);
    }

    int characterCount() const override { return int(edit()->text().size()); }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0)
            return;
        *startOffset = edit()->selectionStart();
        *endOffset = *startOffset + int(edit()->selectedText().size());
    }

    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }

    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0)
            edit()->deselect();
    }

    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex == 0)
            edit()->setSelection(startOffset, endOffset - startOffset);
    }

    // As Qt's own: the character's place in the laid-out text, below the top
    // margin, without the frame or the scrolling.
    QRect characterRect(int offset) const override
    {
        const QString character = text(offset, offset + 1);
        if (character.isEmpty())
            return {};
        const QFontMetrics metrics(edit()->font());
        const qreal left =
            QFontMetricsF(edit()->font()).horizontalAdvance(edit()->text().left(offset));
        const QPoint topLeft(int(left), edit()->textMargins().top());
        return {edit()->mapToGlobal(topLeft),
                QSize(metrics.horizontalAdvance(character), metrics.height())};
    }

    int offsetAtPoint(const QPoint &point) const override
    {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }

    void scrollToSubstring(int startIndex, int endIndex) override
    {
        edit()->setCursorPosition(endIndex);
        edit()->setCursorPosition(startIndex);
    }

    void deleteText(int startOffset, int endOffset) override
    {
        edit()->setText(edit()->text().remove(startOffset, endOffset - startOffset));
    }

    void insertText(int offset, const QString &text) override
    {
        edit()->setText(edit()->text().insert(offset, text));
    }

    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        edit()->setText(edit()->text().replace(startOffset, endOffset - startOffset, text));
    }

private:
    QLineEdit *edit() const { return static_cast<QLineEdit *>(widget()); }
    bool hidden() const { return isPasswordBox(edit()); }
    // An offset of -2 stands for the cursor's.
    int at(int offset) const { return offset == -2 ? cursorPosition() : offset; }

    static QString nothing(int *startOffset, int *endOffset)
    {
        *startOffset = *endOffset = -1;
        return {};
    }
};

// Qt's own factory leaves a spin box's line edit to the spin box.
QAccessibleInterface *lineEditFactory(const QString &className, QObject *object)
{
    auto *edit = qobject_cast<QLineEdit *>(object);
    if (className != QLatin1String("QLineEdit") || !edit ||
        edit->objectName() == QLatin1String("qt_spinbox_lineedit"))
        return nullptr;
    return new LineEditInterface(edit);
}

} // namespace

void installLineEditInterface()
{
    // Qt asks the factory installed last first and ignores a second install.
    QAccessible::installFactory(lineEditFactory);
}
