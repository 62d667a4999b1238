#pragma once

#include "store/MemTable.h"
#include "store/RecordStore.h"

#include <QString>
#include <QVariantList>
#include <memory>
#include <vector>

// The filter language: a short text such as Transaction_Description = 'dupont*' read by TExprParser into a
// tree of FilterNodes, typed against the table's fields, and compiled into a TFilterExpr that tests record
// buffers of the table's store directly (raw stored values, no allocation for the usual comparisons).

// Operator codes of the expression tree.
enum class FilterOp {
    None = 0,
    IsNull = 1,
    IsNotNull = 2,
    Eq = 3,
    Ne = 4,
    Gt = 5,
    Lt = 6,
    Ge = 7,
    Le = 8,
    Not = 9,
    And = 10,
    Or = 11,
    Field = 13,
    Constant = 14,
    Add = 16,
    Sub = 17,
    Mul = 18,
    Div = 19,
    Like = 30,
    In = 31,
    Function = 35,
};

// A node of the parsed expression, before typing.
struct FilterNode
{
    enum class Kind { Field, Constant, Operator, Function };
    enum class ConstantKind { Text, Number, Null, True, False };

    Kind kind = Kind::Constant;
    FilterOp op = FilterOp::None;
    ConstantKind constant = ConstantKind::Text;
    QString text; // field name, literal text (as written) or function name
    int column = -1; // store column of a field
    bool aggregate = false;
    bool fieldDependent = false;
    int height = 1;
    std::vector<std::unique_ptr<FilterNode>> operands; // for IN: the left operand, then the list
};

namespace filterdetail {
class EvalNode;
}

// A compiled filter: evaluate() tells whether a record buffer of the table's store passes.
class TFilterExpr
{
public:
    explicit TFilterExpr(std::unique_ptr<filterdetail::EvalNode> root);
    ~TFilterExpr();
    TFilterExpr(const TFilterExpr &) = delete;
    TFilterExpr &operator=(const TFilterExpr &) = delete;

    bool evaluate(const char *record) const;

private:
    std::unique_ptr<filterdetail::EvalNode> m_root;
};

class TExprParser
{
public:
    // Deepest nesting the parser accepts; deeper texts are refused with a message, never a stack overflow.
    static constexpr int kMaxDepth = 200;

    // Reads and types `text` against the fields of the open `table`. Raises EDatabaseError with the
    // language's messages (or EConvertError for a constant that does not convert). `extendedSyntax` allows
    // arithmetic and functions (a table's Filter); FindRow parses without it.
    static std::shared_ptr<const TFilterExpr> parse(
        TCustomMemTable &table, const QString &text, TFilterOptions options, bool extendedSyntax);
};

// The table's filter compiler: parses with the extended syntax and returns the row test.
IRecordCursor::RowFilter compileTableFilter(
    TCustomMemTable &table, const QString &text, TFilterOptions options);

// The filter text of a row search: one condition per key field joined by " and ". Text values are quoted
// with their quotes doubled; numbers and dates are converted to the field's type and written from that
// value, never copied from the caller's text. Raises "Field '%s' not found" and
// "Field '%s' is of an unsupported type".
QString findRowFilterText(
    TCustomMemTable &table, const QString &fieldNames, const QVariantList &keyValues, TLocateOptions options);
