#include "report/streaming/StreamObjects.h"

#include "report/streaming/ColorNames.h"
#include "report/model/NameScope.h"
#include "report/notation/StreamHooks.h"

#include <QHash>
#include <QMetaProperty>
#include <QPointer>
#include <QSet>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

namespace {

StreamHooks *hooksOf(QObject *object)
{
    return dynamic_cast<StreamHooks *>(object);
}

const StreamHooks *hooksOf(const QObject *object)
{
    return dynamic_cast<const StreamHooks *>(object);
}

bool isPointerProperty(const QMetaProperty &property)
{
    return (property.metaType().flags() & QMetaType::PointerToQObject) != 0;
}

bool isValueObjectProperty(const QMetaProperty &property)
{
    const QMetaObject *meta = property.metaType().metaObject();
    return isPointerProperty(property) && meta && meta->inherits(&RpPersistent::staticMetaObject);
}

bool isStringListProperty(const QMetaProperty &property)
{
    return property.metaType() == QMetaType::fromType<QStringList>();
}

QObject *pointerValue(const QMetaProperty &property, const QObject *object)
{
    const QVariant value = property.read(object);
    return value.isValid() ? *static_cast<QObject *const *>(value.constData()) : nullptr;
}

QStringList alwaysStored(const QMetaObject *meta)
{
    QStringList names;
    for (int i = 0; i < meta->classInfoCount(); ++i) {
        const QMetaClassInfo info = meta->classInfo(i);
        if (qstrcmp(info.name(), "AlwaysStored") == 0)
            names += QString::fromLatin1(info.value()).split(u',', Qt::SkipEmptyParts);
    }
    return names;
}

int enumValueOf(const QVariant &value)
{
    // Enumerations and flags are stored as 32-bit values of their own types.
    int raw = 0;
    if (value.metaType().sizeOf() == sizeof(int))
        std::memcpy(&raw, value.constData(), sizeof(int));
    return raw;
}

bool isColorProperty(const char *name)
{
    const QByteArray text(name);
    return text.endsWith("Color");
}

bool isIntegerType(int id)
{
    switch (id) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool integerInRange(int id, qint64 v)
{
    switch (id) {
    case QMetaType::Int:
        return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
    case QMetaType::UInt:
        return v >= 0 && v <= qint64(std::numeric_limits<quint32>::max());
    case QMetaType::Short:
        return v >= -32768 && v <= 32767;
    case QMetaType::UShort:
        return v >= 0 && v <= 65535;
    case QMetaType::Char:
    case QMetaType::SChar:
        return v >= -128 && v <= 127;
    case QMetaType::UChar:
        return v >= 0 && v <= 255;
    case QMetaType::ULongLong:
        return v >= 0;
    default:
        return true;
    }
}

// ---------------------------------------------------------------- writing

bool toStreamValue(const QMetaProperty &property, const QVariant &value, StreamValue &out)
{
    if (property.isEnumType()) {
        const QMetaEnum meta = property.enumerator();
        const int raw = enumValueOf(value);
        if (meta.isFlag()) {
            out.kind = StreamValue::Kind::Set;
            for (int i = 0; i < meta.keyCount(); ++i) {
                const int bit = meta.value(i);
                if (bit != 0 && (raw & bit) == bit)
                    out.names.append(QString::fromLatin1(meta.key(i)));
            }
            return true;
        }
        const char *key = meta.valueToKey(raw);
        if (!key)
            return false;
        out = StreamValue::fromIdentifier(QString::fromLatin1(key));
        return true;
    }
    const int id = property.metaType().id();
    if (id == QMetaType::Bool) {
        out = StreamValue::fromBool(value.toBool());
        return true;
    }
    if (isIntegerType(id)) {
        const qint64 v = value.toLongLong();
        const QString ident = isColorProperty(property.name()) && id == QMetaType::Int ? colorToIdent(TColor(v)) : QString();
        out = ident.isEmpty() ? StreamValue::fromInteger(v) : StreamValue::fromIdentifier(ident);
        return true;
    }
    if (id == QMetaType::Double || id == QMetaType::Float) {
        const double v = value.toDouble();
        if (!std::isfinite(v))
            return false;
        out = StreamValue::fromExtended(v);
        if (id == QMetaType::Float)
            out.kind = StreamValue::Kind::Single;
        return true;
    }
    if (id == QMetaType::QString) {
        out = StreamValue::fromString(value.toString());
        return true;
    }
    if (id == QMetaType::QByteArray) {
        out.kind = StreamValue::Kind::Binary;
        out.bytes = value.toByteArray();
        return true;
    }
    if (id == QMetaType::QStringList) {
        out.kind = StreamValue::Kind::List;
        for (const QString &line : value.toStringList())
            out.items.push_back(StreamValue::fromString(line));
        return true;
    }
    return false;
}

class ObjectWriter
{
public:
    ObjectWriter(const QObject *root, const ClassRegistry &registry) : m_root(root), m_registry(registry) {}

    StreamObject write(const QObject *object, int depth)
    {
        if (depth > kMaxStreamNesting)
            throw EStreamError(QStringLiteral("Objects are nested too deeply"));
        if (StreamHooks *hooks = hooksOf(const_cast<QObject *>(object)))
            hooks->prepareWrite();
        StreamObject block;
        block.className = QString::fromLatin1(object->metaObject()->className());
        block.name = object->objectName();
        writeProperties(object, prototype(block.className), QString(), block.properties, 0);
        for (const QObject *child : object->children()) {
            if (qobject_cast<const RpPersistent *>(child))
                continue;
            if (m_registry.contains(QString::fromLatin1(child->metaObject()->className())))
                block.children.push_back(write(child, depth + 1));
        }
        return block;
    }

private:
    const QObject *prototype(const QString &className)
    {
        auto it = m_prototypes.find(className);
        if (it == m_prototypes.end())
            it = m_prototypes.emplace(className, std::unique_ptr<QObject>(m_registry.create(className))).first;
        return it->second.get();
    }

    void writeProperties(const QObject *object, const QObject *proto, const QString &prefix,
                         std::vector<StreamProperty> &out, int depth)
    {
        if (depth > kMaxStreamNesting)
            throw EStreamError(QStringLiteral("Sub-objects are nested too deeply"));
        const QMetaObject *meta = object->metaObject();
        const QStringList always = alwaysStored(meta);
        const StreamHooks *hooks = hooksOf(object);
        for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (!property.isReadable() || !property.isStored())
                continue;
            if (hooks && !hooks->isPropertyStored(property.name()))
                continue;
            const QString name = prefix + QString::fromLatin1(property.name());
            if (isValueObjectProperty(property)) {
                if (const QObject *sub = pointerValue(property, object)) {
                    const QObject *protoSub = proto ? pointerValue(property, proto) : nullptr;
                    writeProperties(sub, protoSub, name + u'.', out, depth + 1);
                }
                continue;
            }
            if (isPointerProperty(property)) {
                const QObject *target = pointerValue(property, object);
                if (!property.isWritable() || !target)
                    continue;
                const QString reference = referenceText(target, m_root);
                if (!reference.isEmpty())
                    out.push_back({name, StreamValue::fromIdentifier(reference)});
                continue;
            }
            const QVariant value = property.read(object);
            const bool stored = always.contains(QString::fromLatin1(property.name())) || !proto
                                || proto->metaObject() != meta || property.read(proto) != value;
            if (!stored)
                continue;
            StreamValue streamValue;
            if (!toStreamValue(property, value, streamValue))
                continue;
            out.push_back({isStringListProperty(property) ? name + QStringLiteral(".Strings") : name,
                           std::move(streamValue)});
        }
        if (hooks) {
            std::vector<StreamProperty> defined;
            hooks->writeDefinedProperties(defined);
            for (StreamProperty &property : defined) {
                property.name = prefix + property.name;
                out.push_back(std::move(property));
            }
        }
    }

    const QObject *m_root;
    const ClassRegistry &m_registry;
    std::map<QString, std::unique_ptr<QObject>> m_prototypes;
};

// ---------------------------------------------------------------- reading

int findProperty(const QMetaObject *meta, QStringView name)
{
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        if (name.compare(QLatin1String(meta->property(i).name()), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool fromStreamValue(const QMetaProperty &property, const StreamValue &value, QVariant &out)
{
    using Kind = StreamValue::Kind;
    if (property.isEnumType()) {
        const QMetaEnum meta = property.enumerator();
        auto keyValue = [&meta](const QString &key, int &v) {
            for (int i = 0; i < meta.keyCount(); ++i) {
                if (key.compare(QLatin1String(meta.key(i)), Qt::CaseInsensitive) == 0) {
                    v = meta.value(i);
                    return true;
                }
            }
            return false;
        };
        int result = 0;
        if (meta.isFlag()) {
            if (value.kind != Kind::Set)
                return false;
            for (const QString &name : value.names) {
                int bit = 0;
                if (!keyValue(name, bit))
                    return false;
                result |= bit;
            }
        } else if (value.kind != Kind::Identifier || !keyValue(value.text, result)) {
            return false;
        }
        out = QVariant(result);
        return true;
    }
    const int id = property.metaType().id();
    if (id == QMetaType::Bool) {
        if (value.kind != Kind::True && value.kind != Kind::False)
            return false;
        out = QVariant(value.kind == Kind::True);
        return true;
    }
    if (isIntegerType(id)) {
        qint64 v = 0;
        if (value.kind == Kind::Integer) {
            v = value.integer;
        } else if (value.kind == Kind::Identifier) {
            TColor color = 0;
            if (!identToColor(value.text, color))
                return false;
            v = color;
        } else {
            return false;
        }
        if (!integerInRange(id, v))
            return false;
        out = QVariant(v);
        out.convert(property.metaType());
        return true;
    }
    if (id == QMetaType::Double || id == QMetaType::Float) {
        long double v = 0;
        if (value.kind == Kind::Extended || value.kind == Kind::Single)
            v = value.real;
        else if (value.kind == Kind::Integer)
            v = value.integer;
        else
            return false;
        if (!(std::fabs(v) <= std::numeric_limits<double>::max()))
            return false; // not finite, or beyond what the property holds
        out = QVariant(double(v));
        out.convert(property.metaType());
        return true;
    }
    if (id == QMetaType::QString) {
        if (value.kind != Kind::String)
            return false;
        out = QVariant(value.text);
        return true;
    }
    if (id == QMetaType::QByteArray) {
        if (value.kind != Kind::Binary)
            return false;
        out = QVariant(value.bytes);
        return true;
    }
    if (id == QMetaType::QStringList) {
        if (value.kind != Kind::List)
            return false;
        QStringList lines;
        for (const StreamValue &item : value.items) {
            if (item.kind != Kind::String)
                return false;
            lines.append(item.text);
        }
        out = QVariant(lines);
        return true;
    }
    return false;
}

class ObjectReader
{
public:
    ObjectReader(QObject *root, const StreamReadOptions &options)
        : m_root(root),
          m_registry(options.registry ? *options.registry : reportClasses()),
          m_options(options),
          m_scope(nameScopeRoot(root))
    {
    }

    void read(const StreamObject &block)
    {
        if (!block.name.isEmpty() && isStreamIdentifier(block.name)) {
            m_root->setObjectName(block.name);
            m_scope.reserve(block.name);
        }
        readObject(block, m_root, 0);
        resolveReferences();
        // Children before their owners, each object's value sub-objects before the object.
        for (auto it = m_read.crbegin(); it != m_read.crend(); ++it) {
            QObject *object = *it;
            if (!object)
                continue;
            for (RpPersistent *sub : object->findChildren<RpPersistent *>(Qt::FindDirectChildrenOnly))
                sub->loaded();
            if (StreamHooks *hooks = hooksOf(object))
                hooks->loaded();
        }
    }

private:
    struct PendingReference
    {
        QPointer<QObject> object;
        int propertyIndex;
        QString text;
    };

    void readObject(const StreamObject &block, QObject *object, int depth)
    {
        if (depth > kMaxStreamNesting)
            throw EStreamError(QStringLiteral("Objects are nested too deeply"));
        m_read.append(object);
        if (StreamHooks *hooks = hooksOf(object))
            hooks->beginRead();
        for (const StreamProperty &property : block.properties)
            readProperty(object, property);
        if (StreamHooks *hooks = hooksOf(object))
            hooks->propertiesRead();
        for (const StreamObject &childBlock : block.children) {
            QObject *child = m_registry.create(childBlock.className, object);
            if (!child)
                continue; // an unregistered class: the object and everything in it are skipped
            if (!childBlock.name.isEmpty()) {
                const QString name = m_scope.unique(isStreamIdentifier(childBlock.name) ? childBlock.name
                                                                                          : QStringLiteral("Object"));
                child->setObjectName(name);
                if (!m_byFileName.contains(childBlock.name.toLower()))
                    m_byFileName.insert(childBlock.name.toLower(), child);
            }
            readObject(childBlock, child, depth + 1);
        }
    }

    void readProperty(QObject *object, const StreamProperty &property)
    {
        const QStringList path = property.name.split(u'.');
        QObject *target = object;
        for (qsizetype i = 0; i + 1 < path.size(); ++i) {
            const int index = findProperty(target->metaObject(), path[i]);
            if (index < 0)
                return;
            const QMetaProperty meta = target->metaObject()->property(index);
            if (isStringListProperty(meta) && i + 2 == path.size()
                && path.last().compare(u"Strings", Qt::CaseInsensitive) == 0) {
                writeValue(target, meta, property.value);
                return;
            }
            // Only owned value sub-objects may be stepped into, never a reference or "Owner".
            if (!isValueObjectProperty(meta))
                return;
            target = pointerValue(meta, target);
            if (!target)
                return;
        }
        readLast(target, path.last(), property.value);
    }

    void readLast(QObject *target, const QString &name, const StreamValue &value)
    {
        const int index = findProperty(target->metaObject(), name);
        if (index >= 0) {
            const QMetaProperty meta = target->metaObject()->property(index);
            if (isPointerProperty(meta) && !isValueObjectProperty(meta)) {
                readReference(target, index, value);
                return;
            }
            writeValue(target, meta, value);
            return;
        }
        if (StreamHooks *hooks = hooksOf(target)) {
            bool ok = false;
            hooks->readDefinedProperty(name, value, ok);
        }
    }

    void writeValue(QObject *target, const QMetaProperty &meta, const StreamValue &value)
    {
        if (!meta.isWritable())
            return;
        QVariant converted;
        if (fromStreamValue(meta, value, converted))
            meta.write(target, converted);
    }

    void readReference(QObject *target, int index, const StreamValue &value)
    {
        const QMetaProperty meta = target->metaObject()->property(index);
        if (!meta.isWritable())
            return;
        if (value.kind == StreamValue::Kind::Nil) {
            meta.write(target, QVariant(meta.metaType(), nullptr));
            return;
        }
        if (value.kind == StreamValue::Kind::Identifier)
            m_pending.push_back({target, index, value.text});
    }

    QObject *resolve(const QString &text) const
    {
        if (text.compare(u"Owner", Qt::CaseInsensitive) == 0)
            return m_root;
        if (!text.contains(u'.')) {
            if (QObject *found = m_byFileName.value(text.toLower()))
                return found;
            return m_byName.value(text.toLower());
        }
        if (text.endsWith(u".Owner", Qt::CaseInsensitive))
            return nullptr;
        return m_options.resolveExternal ? m_options.resolveExternal(text) : nullptr;
    }

    void resolveReferences()
    {
        // Objects that were there before reading, by name, the first in tree order winning; built once so
        // that many references stay linear.
        if (!m_pending.empty()) {
            for (QObject *object : m_root->findChildren<QObject *>()) {
                const QString key = object->objectName().toLower();
                if (!key.isEmpty() && !qobject_cast<RpPersistent *>(object) && !m_byName.contains(key))
                    m_byName.insert(key, object);
            }
        }
        for (const PendingReference &pending : m_pending) {
            QObject *object = pending.object;
            if (!object)
                continue;
            QObject *target = resolve(pending.text);
            if (!target)
                continue; // an unresolved reference stays unset
            const QMetaProperty meta = object->metaObject()->property(pending.propertyIndex);
            const QMetaObject *wanted = meta.metaType().metaObject();
            if (wanted && !target->metaObject()->inherits(wanted))
                continue; // a target of the wrong class is skipped
            QVariant value(meta.metaType(), &target);
            meta.write(object, value);
        }
    }

    QObject *m_root;
    const ClassRegistry &m_registry;
    const StreamReadOptions &m_options;
    NameScope m_scope;
    QHash<QString, QPointer<QObject>> m_byFileName;
    QHash<QString, QPointer<QObject>> m_byName;
    QList<QPointer<QObject>> m_read;
    std::vector<PendingReference> m_pending;
};

} // namespace

QString referenceText(const QObject *target, const QObject *root)
{
    if (!target)
        return {};
    if (target == root)
        return QStringLiteral("Owner");
    if (target->objectName().isEmpty())
        return {};
    for (const QObject *owner = target->parent(); owner; owner = owner->parent()) {
        if (owner == root)
            return target->objectName();
    }
    const QObject *owner = target->parent();
    if (!owner || owner->objectName().isEmpty())
        return target->objectName() + QStringLiteral(".Owner");
    return owner->objectName() + u'.' + target->objectName();
}

StreamObject objectToStream(const QObject *root, const ClassRegistry &registry)
{
    ObjectWriter writer(root, registry);
    return writer.write(root, 0);
}

void streamToObject(const StreamObject &block, QObject *root, const StreamReadOptions &options)
{
    ObjectReader reader(root, options);
    reader.read(block);
}

std::unique_ptr<QObject> createFromStream(const StreamObject &block, const StreamReadOptions &options)
{
    const ClassRegistry &registry = options.registry ? *options.registry : reportClasses();
    std::unique_ptr<QObject> root(registry.create(block.className));
    if (!root)
        throw EStreamError(QStringLiteral("Class %1 not found").arg(block.className));
    streamToObject(block, root.get(), options);
    return root;
}

QByteArray writeComponentText(const QObject *root)
{
    return writeObjectText(objectToStream(root));
}

QByteArray writeComponentResource(const QObject *root)
{
    return writeObjectResource(objectToStream(root));
}

std::unique_ptr<QObject> readComponent(const QByteArray &bytes, const StreamReadOptions &options)
{
    return createFromStream(readObjectBlock(bytes), options);
}
