// The income and expense designation lists and their editors, on both sides: adding, editing, the ways of
// leaving without saving, failures, a row left pending in the grid, and the windows' texts.
#include "FormsFixture.h"

#include "forms/AEExpence.h"
#include "forms/AEIncome.h"
#include "forms/DefineExpences.h"
#include "forms/DefineIncome.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/GradButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

namespace {

struct Side
{
    const char *name;
    DesignationList *(*list)();
    DesignationEditor *(*editor)();
    const char *adding;
    const char *editing;
};

void PrintTo(const Side &side, std::ostream *os)
{
    *os << side.name;
}

const Side kIncome { "income", []() -> DesignationList * { return frmDefineIncome; },
    []() -> DesignationEditor * { return frmAEIncome; }, "Ajouter une désignation d'un revenu",
    "Editer la désignation d'un revenu" };
const Side kExpense { "expense", []() -> DesignationList * { return frmDefineExpences; },
    []() -> DesignationEditor * { return frmAEExpence; }, "Ajouter une dépense", "Editer une dépense" };

void typeInControl(QWidget *control, const QString &text)
{
    control->setFocus(Qt::OtherFocusReason);
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(control, &press);
    }
}

void clearInto(QWidget *control)
{
    control->setFocus(Qt::OtherFocusReason);
    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QApplication::sendEvent(control, &selectAll);
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(control, &erase);
}

class DesignationTest : public FormsFixture, public ::testing::WithParamInterface<Side>
{
protected:
    DesignationList &list() const { return *GetParam().list(); }
    DesignationEditor &editor() const { return *GetParam().editor(); }
    TMemTable &table() const { return *list().table(); }
    TField &description() const { return *(DataModule1->*GetParam().list()->side().descriptionField); }

    void add(const QString &text)
    {
        table().AppendRow();
        description().setAsString(text);
        table().Post();
    }

    QStringList rows() const
    {
        QStringList result;
        for (table().First(); !table().AtEnd(); table().Next())
            result << description().AsString();
        return result;
    }

    // Queues the editor's script: the caption it was shown with is kept, the text typed (replacing what the
    // edit showed), then one of its buttons.
    void queueEditor(const QString &text, bool save)
    {
        dialogs.scripts.push_back([this, text, save](QDialog &dialog) {
            auto &window = static_cast<DesignationEditor &>(dialog);
            shownCaption = window.windowTitle();
            shownText = window.DBEdit1->text();
            clearInto(window.DBEdit1);
            typeInControl(window.DBEdit1, text);
            (save ? window.btnSave : window.btnCancel)->click();
            return save;
        });
    }

    QString shownCaption;
    QString shownText;
};

TEST_P(DesignationTest, Add_StoresTheTypedDesignation_AndMakesItCurrent)
{
    add(QStringLiteral("Premier"));
    queueEditor(QStringLiteral("Nouvelle"), true);
    list().btnAddClick();
    flushSaves();

    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(shownCaption, QString::fromUtf8(GetParam().adding));
    EXPECT_EQ(table().State(), dsBrowse);
    EXPECT_EQ(description().AsString(), QStringLiteral("Nouvelle"));
    EXPECT_EQ(rows().size(), 2);

    restart();
    EXPECT_EQ(rows().size(), 2);
    EXPECT_TRUE(rows().contains(QStringLiteral("Nouvelle")));
}

TEST_P(DesignationTest, Add_KeepsIdenticalAndEmptyDesignations)
{
    add(QStringLiteral("Double"));
    queueEditor(QStringLiteral("Double"), true);
    list().btnAddClick();
    queueEditor(QString(), true);
    list().btnAddClick();
    EXPECT_EQ(rows().size(), 3);
    EXPECT_EQ(rows().count(QStringLiteral("Double")), 2);
    EXPECT_EQ(rows().count(QString()), 1);
}

TEST_P(DesignationTest, Edit_ChangesTheCurrentDesignation)
{
    add(QStringLiteral("Un"));
    add(QStringLiteral("Deux"));
    table().First();
    queueEditor(QStringLiteral("Un modifié"), true);
    list().btnEditClick();

    EXPECT_EQ(shownCaption, QString::fromUtf8(GetParam().editing));
    EXPECT_EQ(shownText, QStringLiteral("Un"));
    EXPECT_EQ(rows(), (QStringList { QStringLiteral("Un modifié"), QStringLiteral("Deux") }));
}

TEST_P(DesignationTest, Edit_OnAnEmptyList_CreatesTheFirstDesignation)
{
    queueEditor(QStringLiteral("Premier"), true);
    list().btnEditClick();
    EXPECT_EQ(shownCaption, QString::fromUtf8(GetParam().editing));
    EXPECT_EQ(rows(), QStringList { QStringLiteral("Premier") });
}

TEST_P(DesignationTest, SaveFailure_ShowsTheErrorAndCancels)
{
    add(QStringLiteral("Un"));
    table().BeforePost = [](TDataSet &) { throw EDatabaseError(QStringLiteral("refusé")); };
    queueEditor(QStringLiteral("Deux"), true);
    list().btnAddClick();
    table().BeforePost = nullptr;

    EXPECT_EQ(dialogs.errors(), QStringList { QStringLiteral("refusé") });
    EXPECT_EQ(table().State(), dsBrowse);
    EXPECT_EQ(rows(), QStringList { QStringLiteral("Un") });
    EXPECT_FALSE(editor().isVisible());
}

TEST_P(DesignationTest, StartFailure_CancelsAndShowsTheError_WithoutTheEditor)
{
    add(QStringLiteral("Un"));
    table().BeforeEdit = [](TDataSet &) { throw EDatabaseError(QStringLiteral("verrouillé")); };
    list().btnEditClick();
    table().BeforeEdit = nullptr;

    EXPECT_EQ(dialogs.errors(), QStringList { QStringLiteral("verrouillé") });
    EXPECT_TRUE(dialogs.dialogs.isEmpty());
    EXPECT_EQ(table().State(), dsBrowse);
}

// Annuler, Escape and the title bar all cancel: the row never stays pending behind the closed editor.
TEST_P(DesignationTest, EveryWayOfLeavingTheEditor_Cancels)
{
    add(QStringLiteral("Un"));
    const std::vector<std::function<void(DesignationEditor &)>> leaves {
        [](DesignationEditor &w) { w.btnCancel->click(); },
        [](DesignationEditor &w) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&w, &escape);
        },
        [](DesignationEditor &w) { w.close(); },
    };
    for (const auto &leave : leaves) {
        for (auto start : { &DesignationList::btnAddClick, &DesignationList::btnEditClick }) {
            dialogs.scripts.push_back([&leave](QDialog &dialog) {
                auto &window = static_cast<DesignationEditor &>(dialog);
                typeInControl(window.DBEdit1, QStringLiteral("xyz"));
                leave(window);
                return false;
            });
            (list().*start)();
            EXPECT_EQ(table().State(), dsBrowse);
        }
    }
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(rows(), QStringList { QStringLiteral("Un") });
}

// A designation changed directly in the grid is posted when the list closes, however it closes.
TEST_P(DesignationTest, ClosingTheList_PostsAChangedRowFromTheGrid)
{
    add(QStringLiteral("Un"));
    table().First();
    table().Edit();
    description().setAsString(QStringLiteral("Un changé"));
    list().show();
    list().close();

    EXPECT_EQ(table().State(), dsBrowse);
    EXPECT_EQ(rows(), QStringList { QStringLiteral("Un changé") });
}

TEST_P(DesignationTest, ClosingTheList_WhenThePostFails_ShowsTheErrorAndCancels)
{
    add(QStringLiteral("Un"));
    table().First();
    table().Edit();
    description().setAsString(QStringLiteral("Un changé"));
    table().BeforePost = [](TDataSet &) { throw EDatabaseError(QStringLiteral("refusé")); };
    list().btnOKClick();
    table().BeforePost = nullptr;

    EXPECT_EQ(dialogs.errors(), QStringList { QStringLiteral("refusé") });
    EXPECT_EQ(table().State(), dsBrowse);
    EXPECT_EQ(rows(), QStringList { QStringLiteral("Un") });
}

TEST_P(DesignationTest, List_KeepsItsCurrentRowBetweenShowings)
{
    add(QStringLiteral("Un"));
    add(QStringLiteral("Deux"));
    table().First();
    table().Next();
    list().show();
    list().btnOKClick();
    list().show();
    EXPECT_EQ(description().AsString(), QStringLiteral("Deux"));
    list().btnOKClick();
}

INSTANTIATE_TEST_SUITE_P(Sides, DesignationTest, ::testing::Values(kIncome, kExpense));

// ---- the windows' texts and sizes ----

struct LookCase
{
    Side side;
    const char *listTitle;
    const char *columnTitle;
    int columnWidth;
    const char *editorCaption;
    const char *editorTitle;
    const char *fieldCaption;
};

void PrintTo(const LookCase &c, std::ostream *os)
{
    *os << c.side.name;
}

class DesignationLookTest : public FormsFixture, public ::testing::WithParamInterface<LookCase>
{
};

TEST_P(DesignationLookTest, HasItsCaptionsColumnAndSizes)
{
    const LookCase &c = GetParam();
    DesignationList &list = *c.side.list();
    EXPECT_EQ(list.windowTitle(), QString::fromUtf8(c.listTitle));
    EXPECT_EQ(list.Label10->text(), QString::fromUtf8(c.listTitle));
    EXPECT_EQ(list.size(), QSize(529, 366));
    ASSERT_EQ(list.DBGrid1->Columns().size(), 1u);
    EXPECT_EQ(list.DBGrid1->Columns()[0].Title, QString::fromUtf8(c.columnTitle));
    EXPECT_EQ(list.DBGrid1->Columns()[0].Width, c.columnWidth);
    EXPECT_EQ(list.btnAdd->text(), QStringLiteral("&Ajouter"));
    EXPECT_EQ(list.btnEdit->text(), QStringLiteral("&Edition"));
    EXPECT_EQ(list.btnOK->text(), QStringLiteral("&OK"));
    EXPECT_EQ(list.btnOK->ColorScheme(), csNeoSilver);

    DesignationEditor &editor = *c.side.editor();
    EXPECT_EQ(editor.windowTitle(), QString::fromUtf8(c.editorCaption));
    EXPECT_EQ(editor.Label10->text(), QString::fromUtf8(c.editorTitle));
    EXPECT_EQ(editor.Label1->text(), QString::fromUtf8(c.fieldCaption));
    EXPECT_EQ(editor.size(), QSize(529, 162));
    EXPECT_EQ(editor.btnSave->text(), QStringLiteral("&Sauvegarder"));
    EXPECT_EQ(editor.btnCancel->text(), QStringLiteral("&Annuler"));
    EXPECT_EQ(editor.btnSave->ColorScheme(), csNeoRose);
}

INSTANTIATE_TEST_SUITE_P(Sides, DesignationLookTest,
    ::testing::Values(LookCase { kIncome, "Définir un revenu", "Désignation du revenu", 492,
                          "Ajouter un revenu", "Définir un revenu", "Désignation du revenu" },
        LookCase { kExpense, "Définir les dépenses", "Description de la dépense", 493, "Ajouter une dépense",
            "Définir la dépense", "Description de la dépense" }));

} // namespace
