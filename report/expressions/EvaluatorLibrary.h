#pragma once

#include "report/expressions/Evaluator.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

// Makes a fresh element of a function each time the function is named, so that two calls of SUM in one
// expression keep separate totals.
using TRpEvElementClass = std::function<std::unique_ptr<TRpEvElementFunction>()>;

template <typename T> TRpEvElementClass rpEvElementClass()
{
    return [] { return std::make_unique<T>(); };
}

struct TRpLibraryEntry
{
    QString Name; // upper case
    QString Description; // syntax, "|", explanation
    QString Codes; // category digit, then one letter per argument: N numeric, S text, B logical, V any
    QString Origin;
    TRpEvElementClass ElementClass;

    QString Syntax() const { return Description.section(QLatin1Char('|'), 0, 0); }
    QString Explanation() const { return Description.section(QLatin1Char('|'), 1); }
    // The category digit: 1 date and time, 2 mathematics, 3 statistics, 4 database, 5 logic,
    // 6 information, 7 other; 0 when the codes have none.
    int Category() const;
};

// The registry of expression functions, open for functions the designer adds.
class TRpFunctionLibrary
{
public:
    // The program-wide registry, holding the built-in functions from its first use on.
    static TRpFunctionLibrary &Global();

    // Adds an entry; when the name is registered already only its element class is replaced.
    void RegisterFunction(TRpEvElementClass elementClass, const QString &name, const QString &description,
        const QString &codes, const QString &origin);
    void UnregisterFunction(const QString &name);

    // The entry of that name (compared without regard to case), or null.
    const TRpLibraryEntry *Find(const QString &name) const;
    // A new element of the function, or the error element "Unknown function : %s".
    std::unique_ptr<TRpEvElement> LookupFunction(const QString &name) const;

    int Count() const { return int(m_entries.size()); }
    const TRpLibraryEntry &Entry(int index) const { return m_entries[size_t(index)]; }

    // Registers the built-in functions in their registration order.
    void RegisterBuiltIns();

private:
    std::vector<TRpLibraryEntry> m_entries;
};

using TRpLibrary = TRpFunctionLibrary;

// Origin text of the built-in functions.
extern const char *const kRpEvBuiltInOrigin;
