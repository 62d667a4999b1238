#include "forms/DesignationSides.h"

#include "forms/AEExpence.h"
#include "forms/AEIncome.h"
#include "forms/Datamod.h"
#include "forms/DefineExpences.h"
#include "forms/DefineIncome.h"

const DesignationSide &incomeDesignations()
{
    static const DesignationSide side {
        QStringLiteral("Définir un revenu"),
        &TDataModule1::tblIncome,
        &TDataModule1::datIncome,
        &TDataModule1::tblIncomeIncome_Description,
        QStringLiteral("Désignation du revenu"),
        492,
        QStringLiteral("Ajouter une désignation d'un revenu"),
        QStringLiteral("Editer la désignation d'un revenu"),
        QStringLiteral("Ajouter un revenu"),
        QStringLiteral("Définir un revenu"),
        QStringLiteral("Désignation du revenu"),
        []() -> QDialog * { return frmAEIncome; },
        []() -> QDialog * { return frmDefineIncome; },
    };
    return side;
}

const DesignationSide &expenceDesignations()
{
    static const DesignationSide side {
        QStringLiteral("Définir les dépenses"),
        &TDataModule1::tblExpence,
        &TDataModule1::datExpence,
        &TDataModule1::tblExpenceExpence_Description,
        QStringLiteral("Description de la dépense"),
        493,
        QStringLiteral("Ajouter une dépense"),
        QStringLiteral("Editer une dépense"),
        QStringLiteral("Ajouter une dépense"),
        QStringLiteral("Définir la dépense"),
        QStringLiteral("Description de la dépense"),
        []() -> QDialog * { return frmAEExpence; },
        []() -> QDialog * { return frmDefineExpences; },
    };
    return side;
}
