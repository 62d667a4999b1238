#pragma once

#include "report/notation/StreamTree.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <vector>

// The report file's own objects besides the report: its header, the report's data module and the addon list
// of per-element flags.

// Block 1: the report title (a copy taken at save time) and the host's user data, always written.
class TComponentFileHeader : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("AlwaysStored", "UserData")
    Q_PROPERTY(QString ReportTitle READ reportTitle WRITE setReportTitle)
    Q_PROPERTY(QByteArray UserData READ userData WRITE setUserData)

public:
    Q_INVOKABLE explicit TComponentFileHeader(QObject *parent = nullptr)
        : QObject(parent)
    { }

    QString reportTitle() const { return m_reportTitle; }
    void setReportTitle(const QString &value) { m_reportTitle = value; }
    QByteArray userData() const { return m_userData; }
    void setUserData(const QByteArray &value) { m_userData = value; }

private:
    QString m_reportTitle;
    QByteArray m_userData;
};

// Block 2: the report's own data module, holding its datasets and data sources, the prompts of query
// parameters ("Dataset.Param…" lines) and the query texts that hold "%%" ("Dataset=SQL", each line break
// written as "\~n").
class TRuntimeDatamodule : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("AlwaysStored", "Left,Top,Height,Width")
    Q_PROPERTY(int Left READ left WRITE setLeft)
    Q_PROPERTY(int Top READ top WRITE setTop)
    Q_PROPERTY(int Height READ height WRITE setHeight)
    Q_PROPERTY(int Width READ width WRITE setWidth)
    Q_PROPERTY(QStringList ParamPromptList READ paramPromptList WRITE setParamPromptList)
    Q_PROPERTY(QStringList ExpressionSQL READ expressionSQL WRITE setExpressionSQL)

public:
    Q_INVOKABLE explicit TRuntimeDatamodule(QObject *parent = nullptr)
        : QObject(parent)
    { }

    int left() const { return m_left; }
    void setLeft(int value) { m_left = value; }
    int top() const { return m_top; }
    void setTop(int value) { m_top = value; }
    int height() const { return m_height; }
    void setHeight(int value) { m_height = value; }
    int width() const { return m_width; }
    void setWidth(int value) { m_width = value; }
    QStringList paramPromptList() const { return m_paramPromptList; }
    void setParamPromptList(const QStringList &value) { m_paramPromptList = value; }
    QStringList expressionSQL() const { return m_expressionSQL; }
    void setExpressionSQL(const QStringList &value) { m_expressionSQL = value; }

    // The query text kept for a dataset ("\~n" turned back into line breaks); false when it has no line.
    bool queryText(const QString &dataset, QString &sql) const;
    // Keeps (or, for an empty text, drops) the line of a dataset.
    void setQueryText(const QString &dataset, const QString &sql);

private:
    int m_left = 0;
    int m_top = 0;
    int m_height = 150;
    int m_width = 215;
    QStringList m_paramPromptList;
    QStringList m_expressionSQL;
};

// Line breaks inside a value of a string list line travel as the three characters "\~n".
QString encodeLineBreaks(const QString &value);
QString decodeLineBreaks(const QString &value);

// Block 4: per element a list of "Name=Value" flag lines. The names in use are the lock flags and "GroupID".
// An addon whose list becomes empty is removed, and it goes with its element.
class TPropertyAddons : public QObject
{
    Q_OBJECT

public:
    static const QStringList &
    lockFlags(); // BlockChange, BlockEdit, BlockMove, BlockResize, BlockDelete, BlockSelection

    explicit TPropertyAddons(QObject *parent = nullptr)
        : QObject(parent)
    { }

    // True exactly when the flag's trimmed value is "TRUE", ignoring case.
    bool flag(const QObject *element, const QString &name) const;
    // Setting true writes "Name=True"; false deletes the line.
    void setFlag(QObject *element, const QString &name, bool value);
    // The integer value of the trimmed text; absent or not a number gives 0.
    int number(const QObject *element, const QString &name) const;
    // 0 deletes the line.
    void setNumber(QObject *element, const QString &name, int value);
    // The raw value of a line; empty when absent.
    QString value(const QObject *element, const QString &name) const;
    void setValue(QObject *element, const QString &name, const QString &value);

    // The element's lines, and every element that has lines, in the order their addons were made.
    QStringList lines(const QObject *element) const;
    void setLines(QObject *element, const QStringList &lines);
    QList<QObject *> elements() const;
    int count() const { return int(m_addons.size()); }
    void clear();

    // Names the element when it has none: its kind's class name without the first nine characters ("Label"
    // for TRpDesignLabel), numbered to be unique under the element's root.
    static void nameElement(QObject *element);

    // The list as its object block: "TPropertyAddons" holding unnamed "TPropertyAddon" objects whose
    // "Component" is qualified with `windowName`.
    StreamObject toStream(const QString &windowName) const;
    // Takes the addons of a block; `resolve` finds the element a Component reference names (null: the
    // addon is dropped).
    void fromStream(const StreamObject &block, const std::function<QObject *(const QString &)> &resolve);

private:
    struct Addon
    {
        QPointer<QObject> element;
        QStringList lines;
    };
    const Addon *find(const QObject *element) const;
    Addon *find(const QObject *element);
    void prune();

    std::vector<Addon> m_addons;
};
