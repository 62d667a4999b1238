#include "store/detail/ExprParser.h"

#include "platform/RegionalSettings.h"
#include "store/Fields.h"

#include <QStringList>

void filterError(const QString &message)
{
    throw EDatabaseError(message);
}

namespace {

enum class Tok {
    End,
    Name,
    Bracketed,
    Text,
    Number,
    LParen,
    RParen,
    Comma,
    Eq,
    Ne,
    Ge,
    Le,
    Gt,
    Lt,
    Plus,
    Minus,
    Star,
    Slash,
    Like,
    In,
    IsNull,
    IsNotNull,
};

constexpr int kMaxLiteral = 256;

bool isReservedAfterQuote(const QString &word, const QString &next)
{
    static const QStringList reserved = {
        QStringLiteral("AND"),
        QStringLiteral("OR"),
        QStringLiteral("LIKE"),
        QStringLiteral("IS"),
        QStringLiteral("NULL"),
        QStringLiteral("SELECT"),
        QStringLiteral("FROM"),
        QStringLiteral("WHERE"),
        QStringLiteral("HAVING"),
        QStringLiteral("UNION"),
        QStringLiteral("PLAN"),
        QStringLiteral("ASC"),
        QStringLiteral("ASCENDING"),
        QStringLiteral("DESC"),
        QStringLiteral("DESCENDING"),
    };
    for (const QString &r : reserved)
        if (word.compare(r, Qt::CaseInsensitive) == 0)
            return true;
    const auto is = [](const QString &a, const char *b) {
        return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
    };
    return ((is(word, "GROUP") || is(word, "ORDER")) && is(next, "BY"))
        || (is(word, "FOR") && is(next, "UPDATE"));
}

bool isBlank(QChar c)
{
    return c.unicode() <= 0x20;
}

bool isNameStart(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || (u > 0x80 && c.isLetter());
}

bool isNameChar(QChar c)
{
    const char16_t u = c.unicode();
    return isNameStart(c) || (u >= '0' && u <= '9') || u == '.' || u == '[' || u == ']';
}

class Parser
{
public:
    Parser(TCustomMemTable &table, const QString &text, bool extended)
        : m_table(table)
        , m_text(text)
        , m_extended(extended)
        , m_decimal(RegionalSettings::current().decimalSeparator())
    { }

    std::unique_ptr<FilterNode> run()
    {
        next();
        auto root = expression();
        if (m_tok != Tok::End)
            filterError(QStringLiteral("Filter expression incorrectly terminated"));
        return root;
    }

private:
    // ---- tokens ----

    QChar at(qsizetype i) const { return i < m_text.size() ? m_text[i] : QChar(); }

    void skipBlanks()
    {
        for (;;) {
            while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
                ++m_pos;
            if (at(m_pos) == u'/' && at(m_pos + 1) == u'*') {
                const qsizetype end = m_text.indexOf(QLatin1String("*/"), m_pos + 2);
                if (end < 0)
                    filterError(QStringLiteral("Invalid filter expression character: '%1'").arg(QChar(u'/')));
                m_pos = end + 2;
                continue;
            }
            return;
        }
    }

    QString tokenText() const
    {
        if (m_tok == Tok::End)
            return QStringLiteral("nothing");
        return QLatin1Char('\'') + m_text.mid(m_start, m_pos - m_start) + QLatin1Char('\'');
    }

    QString wordAt(qsizetype &i) const
    {
        const qsizetype from = i;
        while (i < m_text.size() && isNameChar(m_text[i]))
            ++i;
        return m_text.mid(from, i - from);
    }

    void next()
    {
        const Tok previous = m_tok;
        skipBlanks();
        m_start = m_pos;
        m_value.clear();
        if (m_pos >= m_text.size()) {
            m_tok = Tok::End;
            return;
        }
        const QChar c = m_text[m_pos];
        const bool afterOperand = m_hasToken
            && (previous == Tok::Name || previous == Tok::Bracketed || previous == Tok::Text
                || previous == Tok::Number || previous == Tok::RParen);
        m_hasToken = true;
        if (isNameStart(c)) {
            m_value = wordAt(m_pos);
            nameToken();
            return;
        }
        if (c == u'[') {
            const qsizetype end = m_text.indexOf(u']', m_pos + 1);
            if (end < 0)
                filterError(QStringLiteral("Unterminated field name"));
            m_value = m_text.mid(m_pos + 1, end - m_pos - 1);
            m_pos = end + 1;
            m_tok = Tok::Bracketed;
            return;
        }
        if (c == u'\'') {
            textLiteral();
            return;
        }
        if (c == u'-' && afterOperand) {
            ++m_pos;
            m_tok = Tok::Minus;
            return;
        }
        if (c.isDigit() || c == u'-') {
            numberLiteral();
            return;
        }
        ++m_pos;
        switch (c.unicode()) {
        case '(':
            m_tok = Tok::LParen;
            return;
        case ')':
            m_tok = Tok::RParen;
            return;
        case ',':
            m_tok = Tok::Comma;
            return;
        case '+':
            m_tok = Tok::Plus;
            return;
        case '*':
            m_tok = Tok::Star;
            return;
        case '/':
            m_tok = Tok::Slash;
            return;
        case '=':
            m_tok = Tok::Eq;
            return;
        case '<':
            if (at(m_pos) == u'>') {
                ++m_pos;
                m_tok = Tok::Ne;
            } else if (at(m_pos) == u'=') {
                ++m_pos;
                m_tok = Tok::Le;
            } else {
                m_tok = Tok::Lt;
            }
            return;
        case '>':
            if (at(m_pos) == u'=') {
                ++m_pos;
                m_tok = Tok::Ge;
            } else {
                m_tok = Tok::Gt;
            }
            return;
        default:
            filterError(QStringLiteral("Invalid filter expression character: '%1'").arg(c));
        }
    }

    void nameToken()
    {
        m_tok = Tok::Name;
        if (isWord("LIKE")) {
            m_tok = Tok::Like;
        } else if (isWord("IN")) {
            m_tok = Tok::In;
        } else if (isWord("IS")) {
            qsizetype i = m_pos;
            while (i < m_text.size() && isBlank(m_text[i]))
                ++i;
            QString word = wordAt(i);
            if (word.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0) {
                m_tok = Tok::IsNull;
            } else if (word.compare(QLatin1String("NOT"), Qt::CaseInsensitive) == 0) {
                while (i < m_text.size() && isBlank(m_text[i]))
                    ++i;
                word = wordAt(i);
                if (word.compare(QLatin1String("NULL"), Qt::CaseInsensitive) != 0)
                    filterError(QStringLiteral("Invalid use of keyword"));
                m_tok = Tok::IsNotNull;
            } else {
                filterError(QStringLiteral("Invalid use of keyword"));
            }
            m_pos = i;
        }
    }

    bool isWord(const char *word) const
    {
        return m_tok == Tok::Name && m_value.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }

    // Whether the quote at `quote` (not doubled) ends the literal: it does unless an ordinary word follows.
    bool quoteCloses(qsizetype quote) const
    {
        if (m_text.indexOf(u'\'', quote + 1) < 0)
            return true;
        qsizetype i = quote + 1;
        while (i < m_text.size() && (m_text[i] == u' ' || m_text[i] == u'\t' || m_text[i] == u')'))
            ++i;
        const auto wordEnd = [&](qsizetype j) {
            while (j < m_text.size()) {
                const QChar c = m_text[j];
                if (c == u' ' || c == u'\t' || c == u'(' || c == u',' || c == u'\r' || c == u'\n')
                    break;
                ++j;
            }
            return j;
        };
        const qsizetype end = wordEnd(i);
        const QString word = m_text.mid(i, end - i);
        if (word.isEmpty())
            return true;
        const QChar first = word[0];
        if (first.isDigit() || QStringLiteral("<=>'+-*/").contains(first) || word.contains(u'.'))
            return true;
        qsizetype j = end;
        while (j < m_text.size() && isBlank(m_text[j]))
            ++j;
        const QString following = m_text.mid(j, wordEnd(j) - j);
        QString bare = word;
        while (bare.endsWith(u'\'') || bare.endsWith(u')'))
            bare.chop(1);
        return isReservedAfterQuote(bare, following);
    }

    void textLiteral()
    {
        qsizetype i = m_pos + 1;
        QString value;
        for (;;) {
            if (i >= m_text.size())
                filterError(QStringLiteral("Unterminated string constant"));
            const QChar c = m_text[i];
            if (c == u'\'') {
                if (at(i + 1) == u'\'') {
                    if (value.size() < kMaxLiteral)
                        value += c;
                    i += 2;
                    continue;
                }
                if (quoteCloses(i)) {
                    ++i;
                    break;
                }
            }
            if (value.size() < kMaxLiteral)
                value += c;
            ++i;
        }
        m_pos = i;
        m_value = value;
        m_tok = Tok::Text;
    }

    void numberLiteral()
    {
        qsizetype i = m_pos + 1;
        while (i < m_text.size()) {
            const QChar c = m_text[i];
            if (!(c.isDigit() || c == u'+' || c == u'-' || c == u'E' || c == u'e' || c == m_decimal))
                break;
            ++i;
        }
        if (m_decimal == u',' && i > m_pos + 1 && m_text[i - 1] == u','
            && (i >= m_text.size() || isBlank(m_text[i])))
            --i;
        m_value = m_text.mid(m_pos, i - m_pos);
        m_pos = i;
        m_tok = Tok::Number;
    }

    // ---- grammar ----

    struct DepthGuard
    {
        int &depth;
        explicit DepthGuard(int &d)
            : depth(d)
        {
            if (++depth > TExprParser::kMaxDepth)
                filterError(QStringLiteral("Filter expression is nested too deeply (more than %1 levels)")
                                .arg(TExprParser::kMaxDepth));
        }
        ~DepthGuard() { --depth; }
    };

    static std::unique_ptr<FilterNode> makeOperator(
        FilterOp op, std::unique_ptr<FilterNode> a, std::unique_ptr<FilterNode> b = nullptr)
    {
        auto node = std::make_unique<FilterNode>();
        node->kind = FilterNode::Kind::Operator;
        node->op = op;
        node->operands.push_back(std::move(a));
        if (b)
            node->operands.push_back(std::move(b));
        finish(*node);
        return node;
    }

    static void finish(FilterNode &node)
    {
        int height = 0;
        bool aggregate = false;
        bool field = false;
        for (const auto &operand : node.operands) {
            height = std::max(height, operand->height);
            aggregate = aggregate || operand->aggregate;
            field = field || operand->fieldDependent;
        }
        if (aggregate && field)
            filterError(QStringLiteral("Operation cannot mix aggregate value with record-varying value"));
        node.height = height + 1;
        if (node.height > TExprParser::kMaxDepth)
            filterError(QStringLiteral("Filter expression is nested too deeply (more than %1 levels)")
                            .arg(TExprParser::kMaxDepth));
        node.aggregate = aggregate || node.aggregate;
        node.fieldDependent = field || node.fieldDependent;
    }

    // AND and OR chains are kept flat, so a long chain does not make a deep tree.
    std::unique_ptr<FilterNode> chain(
        FilterOp op, std::unique_ptr<FilterNode> (Parser::*operand)(), const char *word)
    {
        auto first = (this->*operand)();
        if (!isWord(word))
            return first;
        auto node = std::make_unique<FilterNode>();
        node->kind = FilterNode::Kind::Operator;
        node->op = op;
        node->operands.push_back(std::move(first));
        while (isWord(word)) {
            next();
            node->operands.push_back((this->*operand)());
        }
        finish(*node);
        return node;
    }

    std::unique_ptr<FilterNode> expression()
    {
        DepthGuard guard(m_depth);
        return chain(FilterOp::Or, &Parser::andTerm, "OR");
    }

    std::unique_ptr<FilterNode> andTerm() { return chain(FilterOp::And, &Parser::notTerm, "AND"); }

    std::unique_ptr<FilterNode> notTerm()
    {
        if (isWord("NOT")) {
            next();
            return makeOperator(FilterOp::Not, comparison());
        }
        return comparison();
    }

    std::unique_ptr<FilterNode> comparison()
    {
        auto left = sum();
        FilterOp op = FilterOp::None;
        switch (m_tok) {
        case Tok::Eq:
            op = FilterOp::Eq;
            break;
        case Tok::Ne:
            op = FilterOp::Ne;
            break;
        case Tok::Gt:
            op = FilterOp::Gt;
            break;
        case Tok::Lt:
            op = FilterOp::Lt;
            break;
        case Tok::Ge:
            op = FilterOp::Ge;
            break;
        case Tok::Le:
            op = FilterOp::Le;
            break;
        case Tok::Like:
            op = FilterOp::Like;
            break;
        case Tok::IsNull:
            next();
            return makeOperator(FilterOp::IsNull, std::move(left));
        case Tok::IsNotNull:
            next();
            return makeOperator(FilterOp::IsNotNull, std::move(left));
        case Tok::In:
            return inList(std::move(left));
        default:
            return left;
        }
        next();
        return makeOperator(op, std::move(left), sum());
    }

    std::unique_ptr<FilterNode> inList(std::unique_ptr<FilterNode> left)
    {
        next();
        if (m_tok != Tok::LParen)
            filterError(QStringLiteral("'(' expected but %1 found").arg(tokenText()));
        next();
        if (m_tok == Tok::RParen)
            filterError(QStringLiteral("IN predicate list may not be empty"));
        auto node = std::make_unique<FilterNode>();
        node->kind = FilterNode::Kind::Operator;
        node->op = FilterOp::In;
        node->operands.push_back(std::move(left));
        for (;;) {
            node->operands.push_back(expression());
            if (m_tok == Tok::RParen)
                break;
            if (m_tok != Tok::Comma)
                filterError(QStringLiteral("')' or ',' expected but %1 found").arg(tokenText()));
            next();
        }
        next();
        finish(*node);
        return node;
    }

    void checkArithmetic()
    {
        if (!m_extended)
            filterError(QStringLiteral("Arithmetic in filter expressions not supported"));
    }

    std::unique_ptr<FilterNode> sum()
    {
        auto left = term();
        while (m_tok == Tok::Plus || m_tok == Tok::Minus) {
            checkArithmetic();
            const FilterOp op = m_tok == Tok::Plus ? FilterOp::Add : FilterOp::Sub;
            next();
            left = makeOperator(op, std::move(left), term());
        }
        return left;
    }

    std::unique_ptr<FilterNode> term()
    {
        auto left = primary();
        while (m_tok == Tok::Star || m_tok == Tok::Slash) {
            checkArithmetic();
            const FilterOp op = m_tok == Tok::Star ? FilterOp::Mul : FilterOp::Div;
            next();
            left = makeOperator(op, std::move(left), primary());
        }
        return left;
    }

    static bool isFunctionName(const QString &name)
    {
        static const QStringList names = {
            QStringLiteral("UPPER"),
            QStringLiteral("LOWER"),
            QStringLiteral("SUBSTRING"),
            QStringLiteral("TRIM"),
            QStringLiteral("TRIMLEFT"),
            QStringLiteral("TRIMRIGHT"),
            QStringLiteral("YEAR"),
            QStringLiteral("MONTH"),
            QStringLiteral("DAY"),
            QStringLiteral("HOUR"),
            QStringLiteral("MINUTE"),
            QStringLiteral("SECOND"),
            QStringLiteral("GETDATE"),
            QStringLiteral("DATE"),
            QStringLiteral("TIME"),
            QStringLiteral("SUM"),
            QStringLiteral("AVG"),
            QStringLiteral("MIN"),
            QStringLiteral("MAX"),
            QStringLiteral("COUNT"),
        };
        return names.contains(name.toUpper());
    }

    static bool isAggregate(const QString &upperName)
    {
        return upperName == u"SUM" || upperName == u"AVG" || upperName == u"MIN" || upperName == u"MAX"
            || upperName == u"COUNT";
    }

    std::unique_ptr<FilterNode> function()
    {
        auto node = std::make_unique<FilterNode>();
        node->kind = FilterNode::Kind::Function;
        node->op = FilterOp::Function;
        node->text = m_value.toUpper();
        node->aggregate = isAggregate(node->text);
        next(); // the name
        next(); // "("
        if (node->text == u"COUNT" && m_tok == Tok::Star) {
            next();
            if (m_tok != Tok::RParen)
                filterError(QStringLiteral("')' expected but %1 found").arg(tokenText()));
        } else if (m_tok != Tok::RParen) {
            for (;;) {
                node->operands.push_back(expression());
                if (m_tok == Tok::RParen)
                    break;
                if (m_tok != Tok::Comma)
                    filterError(QStringLiteral("')' or ',' expected but %1 found").arg(tokenText()));
                next();
            }
        }
        next();
        finish(*node);
        return node;
    }

    std::unique_ptr<FilterNode> constant(FilterNode::ConstantKind kind)
    {
        auto node = std::make_unique<FilterNode>();
        node->kind = FilterNode::Kind::Constant;
        node->op = FilterOp::Constant;
        node->constant = kind;
        node->text = m_value;
        next();
        return node;
    }

    std::unique_ptr<FilterNode> field(const QString &name)
    {
        TField *fieldObject = m_table.LookupField(name);
        if (!fieldObject)
            filterError(QStringLiteral("Field '%1' not found").arg(name));
        const int column = TCustomMemTable::columnOf(*fieldObject);
        const IRecordStore *store = m_table.store();
        if (column < 0 || !store || column >= int(store->columns().size())
            || store->columns()[size_t(column)].calculated)
            filterError(QStringLiteral("Field '%1' cannot be used in a filter expression").arg(name));
        auto node = std::make_unique<FilterNode>();
        node->kind = FilterNode::Kind::Field;
        node->op = FilterOp::Field;
        node->text = fieldObject->FieldName();
        node->column = column;
        node->fieldDependent = true;
        next();
        return node;
    }

    std::unique_ptr<FilterNode> primary()
    {
        switch (m_tok) {
        case Tok::Name: {
            if (m_extended && at(m_pos) == u'(' && isFunctionName(m_value))
                return function();
            if (isWord("NULL"))
                return constant(FilterNode::ConstantKind::Null);
            if (isWord("TRUE"))
                return constant(FilterNode::ConstantKind::True);
            if (isWord("FALSE"))
                return constant(FilterNode::ConstantKind::False);
            return field(m_value);
        }
        case Tok::Bracketed:
            return field(m_value);
        case Tok::Text:
            return constant(FilterNode::ConstantKind::Text);
        case Tok::Number:
            return constant(FilterNode::ConstantKind::Number);
        case Tok::LParen: {
            next();
            auto inner = expression();
            if (m_tok != Tok::RParen)
                filterError(QStringLiteral("')' expected but %1 found").arg(tokenText()));
            next();
            return inner;
        }
        default:
            filterError(QStringLiteral("Expression expected but %1 found").arg(tokenText()));
        }
    }

    TCustomMemTable &m_table;
    const QString &m_text;
    bool m_extended;
    QChar m_decimal;
    qsizetype m_pos = 0;
    qsizetype m_start = 0;
    Tok m_tok = Tok::End;
    bool m_hasToken = false;
    QString m_value;
    int m_depth = 0;
};

} // namespace

std::unique_ptr<FilterNode> parseFilterText(TCustomMemTable &table, const QString &text, bool extendedSyntax)
{
    return Parser(table, text, extendedSyntax).run();
}
