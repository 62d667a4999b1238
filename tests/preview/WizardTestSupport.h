#pragma once

#include "preview/WizardWindow.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"
#include "support/UiScript.h"
#include "widgets/Dialogs.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextCursor>
#include <gtest/gtest.h>
#include <vector>

// Shared by the wizard and variable editor tests: answering boxes, finding the wizard a step acts in, and a
// form holding a transaction table.
namespace WizardTest {

// Records message boxes (answered OK) and runs modal dialogs through a script of their own.
class Boxes : public Dialogs::Handler
{
public:
    Boxes()
        : m_guard(*this)
    { }

    Dialogs::Answer message(QWidget *, const Dialogs::MessageRequest &request) override
    {
        messages.push_back(request);
        return request.kind == Dialogs::MessageKind::Confirmation ? Dialogs::Answer::Yes
                                                                  : Dialogs::Answer::Ok;
    }
    QString fileName(QWidget *, const Dialogs::FileRequest &) override { return {}; }
    bool font(QWidget *, QFont &) override { return false; }
    bool color(QWidget *, QColor &) override { return false; }
    // A modal dialog shows and runs until it is done; `onExec` acts in it meanwhile.
    bool exec(QDialog &dialog) override
    {
        dialogs << dialog.windowTitle();
        if (onExec) {
            auto action = onExec;
            QTimer::singleShot(0, &dialog, [&dialog, action] { action(dialog); });
        } else {
            QTimer::singleShot(0, &dialog, [&dialog] { dialog.close(); });
        }
        return dialog.exec() == QDialog::Accepted;
    }

    QStringList texts() const
    {
        QStringList list;
        for (const auto &m : messages)
            list << m.text;
        return list;
    }
    QString last() const { return messages.empty() ? QString() : messages.back().text; }

    std::vector<Dialogs::MessageRequest> messages;
    QStringList dialogs;
    std::function<void(QDialog &)> onExec;

private:
    Dialogs::ScopedHandler m_guard;
};

// The wizard that is in front: the deepest visible wizard running inside `outer`.
inline RpWizardWindow *front(RpWizardWindow *outer)
{
    for (RpWizardWindow *child : outer->findChildren<RpWizardWindow *>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible())
            return front(child);
    }
    return outer;
}

inline QListWidget *list(QWidget *window, const char *name)
{
    return window->findChild<QListWidget *>(QLatin1String(name));
}

// Selects the entry with this text; fails when there is none.
inline void choose(QListWidget *list, const QString &text)
{
    ASSERT_NE(list, nullptr);
    const auto items = list->findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(items.isEmpty()) << text.toStdString();
    list->setCurrentItem(items.first());
}

// The argument field of the parameters page, numbered from 1, and its "..." button.
inline QLineEdit *argument(QWidget *wizard, int number)
{
    return wizard->findChild<QLineEdit *>(QStringLiteral("EArgument%1").arg(number));
}

inline void argumentWizard(QWidget *wizard, int number)
{
    argument(wizard, number)->parentWidget()->findChild<QPushButton *>()->click();
}

inline void type(RpWizardWindow *wizard, const QString &text)
{
    wizard->expressionEdit()->textCursor().insertText(text);
}

inline bool onPage(RpWizardWindow *wizard, RpWizardWindow::Page page)
{
    return wizard->currentPage() == page;
}

// A form with an open transaction table of three rows (amounts -12.5, 40 and -7.25).
class TransactionForm
{
public:
    TransactionForm()
    {
        table = new TMemTable(&form);
        table->setObjectName(QStringLiteral("tblTransaction"));
        table->FieldDefs() = FinanceTables::transactionDefs();
        table->CreateEmpty();
        const double amounts[] = { -12.5, 40, -7.25 };
        for (double amount : amounts) {
            table->AppendRow();
            table->FieldNamed(QStringLiteral("Transaction_Description"))->setAsString(QStringLiteral("Row"));
            table->FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(amount);
            table->FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(1);
            table->Post();
        }
        table->First();
    }

    QWidget form;
    TMemTable *table = nullptr;
};

} // namespace WizardTest
