#include "designer/FieldMarkerEditing.h"

#include "designer/PropertyFields.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMetaObject>
#include <QTextBlock>
#include <QTextCursor>
#include <QWidget>

namespace FieldMarkerEditing {

namespace {

constexpr QStringView kRemoveMark = u"%DEL";

} // namespace

bool insertExpression(QWidget *editor, TRpDesigner *designer)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    QMetaObject::invokeMethod(editor, "copy");
    QString expression = clipboard->text();
    if (!ExpressionWizard::ask(editor->window(), designer, expression) || expression.isEmpty())
        return false;
    clipboard->setText(ExpressionWizard::fieldFor(designer, expression));
    QMetaObject::invokeMethod(editor, "paste");
    return true;
}

QString toggledRemoveMark(const QString &line)
{
    return line.startsWith(kRemoveMark) ? line.mid(kRemoveMark.size()) : kRemoveMark.toString() + line;
}

void toggleRemoveMark(const QTextCursor &cursor)
{
    const QTextBlock block = cursor.block();
    QTextCursor edit(block);
    if (block.text().startsWith(kRemoveMark)) {
        edit.setPosition(block.position() + int(kRemoveMark.size()), QTextCursor::KeepAnchor);
        edit.removeSelectedText();
    } else {
        edit.insertText(kRemoveMark.toString());
    }
}

void insertRemoveMark(const QTextCursor &cursor)
{
    QTextCursor edit(cursor.block());
    edit.insertText(kRemoveMark.toString());
}

} // namespace FieldMarkerEditing
