#pragma once

#include <QByteArray>
#include <QString>

class QObject;

// The text of a field of a table (a TDataSet) on its current row, for the elements that show a field whole:
// empty without a table or a field of that name (compared without regard to case), or when the field cannot
// be read.
QString fieldText(const QObject *dataSet, const QString &fieldName);

// A field's raw content, as a blob's text carries it: one byte per character.
QByteArray rawFieldBytes(const QObject *dataSet, const QString &fieldName);
