#include "report/files/ReportFileObjects.h"

#include "report/model/NameScope.h"

namespace {

const QString kLineBreakCode = QStringLiteral("\\~n");

// Index of the line "Name=…" (name compared ignoring case), or −1.
qsizetype lineOf(const QStringList &lines, const QString &name)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype eq = lines[i].indexOf(u'=');
        const QStringView key = eq < 0 ? QStringView(lines[i]) : QStringView(lines[i]).left(eq);
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

QString encodeLineBreaks(const QString &value)
{
    QString text = value;
    text.replace(QStringLiteral("\r\n"), kLineBreakCode);
    text.replace(u'\n', kLineBreakCode);
    text.replace(u'\r', kLineBreakCode);
    return text;
}

QString decodeLineBreaks(const QString &value)
{
    QString text = value;
    text.replace(kLineBreakCode, QStringLiteral("\r\n"));
    return text;
}

bool TRuntimeDatamodule::queryText(const QString &dataset, QString &sql) const
{
    const qsizetype i = lineOf(m_expressionSQL, dataset);
    if (i < 0)
        return false;
    const QString &line = m_expressionSQL[i];
    sql = decodeLineBreaks(line.mid(line.indexOf(u'=') + 1));
    return line.contains(u'=');
}

void TRuntimeDatamodule::setQueryText(const QString &dataset, const QString &sql)
{
    const qsizetype i = lineOf(m_expressionSQL, dataset);
    if (sql.isEmpty()) {
        if (i >= 0)
            m_expressionSQL.removeAt(i);
        return;
    }
    const QString line = dataset + u'=' + encodeLineBreaks(sql);
    if (i >= 0)
        m_expressionSQL[i] = line;
    else
        m_expressionSQL.append(line);
}

const QStringList &TPropertyAddons::lockFlags()
{
    static const QStringList flags = { QStringLiteral("BlockChange"), QStringLiteral("BlockEdit"),
        QStringLiteral("BlockMove"), QStringLiteral("BlockResize"), QStringLiteral("BlockDelete"),
        QStringLiteral("BlockSelection") };
    return flags;
}

void TPropertyAddons::prune()
{
    std::erase_if(m_addons, [](const Addon &addon) { return !addon.element || addon.lines.isEmpty(); });
}

const TPropertyAddons::Addon *TPropertyAddons::find(const QObject *element) const
{
    for (const Addon &addon : m_addons) {
        if (addon.element == element && element)
            return &addon;
    }
    return nullptr;
}

TPropertyAddons::Addon *TPropertyAddons::find(const QObject *element)
{
    return const_cast<Addon *>(std::as_const(*this).find(element));
}

QString TPropertyAddons::value(const QObject *element, const QString &name) const
{
    const Addon *addon = find(element);
    if (!addon)
        return {};
    const qsizetype i = lineOf(addon->lines, name);
    if (i < 0)
        return {};
    const QString &line = addon->lines[i];
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : decodeLineBreaks(line.mid(eq + 1));
}

void TPropertyAddons::setValue(QObject *element, const QString &name, const QString &value)
{
    if (!element)
        return;
    Addon *addon = find(element);
    if (value.isEmpty()) {
        if (addon) {
            const qsizetype i = lineOf(addon->lines, name);
            if (i >= 0)
                addon->lines.removeAt(i);
            prune();
        }
        return;
    }
    if (!addon) {
        nameElement(element);
        m_addons.push_back({ element, {} });
        addon = &m_addons.back();
        // The addon goes with its element.
        connect(element, &QObject::destroyed, this, [this] { prune(); });
    }
    const QString line = name + u'=' + encodeLineBreaks(value);
    const qsizetype i = lineOf(addon->lines, name);
    if (i >= 0)
        addon->lines[i] = line;
    else
        addon->lines.append(line);
}

bool TPropertyAddons::flag(const QObject *element, const QString &name) const
{
    return value(element, name).trimmed().compare(u"TRUE", Qt::CaseInsensitive) == 0;
}

void TPropertyAddons::setFlag(QObject *element, const QString &name, bool value)
{
    setValue(element, name, value ? QStringLiteral("True") : QString());
}

int TPropertyAddons::number(const QObject *element, const QString &name) const
{
    bool ok = false;
    const int n = value(element, name).trimmed().toInt(&ok);
    return ok ? n : 0;
}

void TPropertyAddons::setNumber(QObject *element, const QString &name, int value)
{
    setValue(element, name, value == 0 ? QString() : QString::number(value));
}

QStringList TPropertyAddons::lines(const QObject *element) const
{
    const Addon *addon = find(element);
    return addon ? addon->lines : QStringList();
}

void TPropertyAddons::setLines(QObject *element, const QStringList &lines)
{
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        setValue(
            element, eq < 0 ? line : line.left(eq), eq < 0 ? QString() : decodeLineBreaks(line.mid(eq + 1)));
    }
}

QList<QObject *> TPropertyAddons::elements() const
{
    QList<QObject *> list;
    for (const Addon &addon : m_addons) {
        if (addon.element && !addon.lines.isEmpty())
            list.append(addon.element);
    }
    return list;
}

void TPropertyAddons::clear()
{
    for (const Addon &addon : m_addons) {
        if (addon.element)
            disconnect(addon.element, nullptr, this, nullptr);
    }
    m_addons.clear();
}

void TPropertyAddons::nameElement(QObject *element)
{
    if (!element || !element->objectName().isEmpty())
        return;
    const QString base = QString::fromLatin1(element->metaObject()->className()).mid(9);
    NameScope scope(nameScopeRoot(element));
    element->setObjectName(scope.unique(base.isEmpty() ? QStringLiteral("Element") : base, false));
}

StreamObject TPropertyAddons::toStream(const QString &windowName) const
{
    StreamObject block;
    block.className = QStringLiteral("TPropertyAddons");
    for (const Addon &addon : m_addons) {
        if (!addon.element || addon.lines.isEmpty() || addon.element->objectName().isEmpty())
            continue;
        StreamObject child;
        child.className = QStringLiteral("TPropertyAddon");
        child.properties.push_back({ QStringLiteral("Component"),
            StreamValue::fromIdentifier(windowName + u'.' + addon.element->objectName()) });
        StreamValue list;
        list.kind = StreamValue::Kind::List;
        for (const QString &line : addon.lines)
            list.items.push_back(StreamValue::fromString(line));
        child.properties.push_back({ QStringLiteral("Properties.Strings"), list });
        block.children.push_back(std::move(child));
    }
    return block;
}

void TPropertyAddons::fromStream(
    const StreamObject &block, const std::function<QObject *(const QString &)> &resolve)
{
    for (const StreamObject &child : block.children) {
        if (child.className.compare(u"TPropertyAddon", Qt::CaseInsensitive) != 0)
            continue;
        QObject *element = nullptr;
        QStringList lines;
        for (const StreamProperty &property : child.properties) {
            if (property.name.compare(u"Component", Qt::CaseInsensitive) == 0
                && property.value.kind == StreamValue::Kind::Identifier)
                element = resolve(property.value.text);
            if (property.name.compare(u"Properties.Strings", Qt::CaseInsensitive) == 0
                && property.value.kind == StreamValue::Kind::List) {
                for (const StreamValue &item : property.value.items) {
                    if (item.kind == StreamValue::Kind::String)
                        lines.append(item.text);
                }
            }
        }
        // An addon whose element does not resolve is dropped.
        if (element)
            setLines(element, lines);
    }
}
