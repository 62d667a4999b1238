#pragma once

#include "report/notation/StreamTree.h"

#include <QObject>

// What an object can add to the generic streaming of its published properties.
class StreamHooks
{
public:
    virtual ~StreamHooks() = default;

    // False keeps a published property out of the stream for the object's current state.
    virtual bool isPropertyStored(const char *name) const
    {
        Q_UNUSED(name);
        return true;
    }
    // Properties that are not published ("Values", "DATA"): appended after the published ones.
    virtual void writeDefinedProperties(std::vector<StreamProperty> &properties) const { Q_UNUSED(properties); }
    // True when `name` is a defined property of the object; `ok` false marks a bad value.
    virtual bool readDefinedProperty(const QString &name, const StreamValue &value, bool &ok)
    {
        Q_UNUSED(name);
        Q_UNUSED(value);
        ok = false;
        return false;
    }
    // Before the object is written (a report brings its band layout up to date).
    virtual void prepareWrite() {}
    // Around reading: before the first property, after the whole block (references included) was read.
    virtual void beginRead() {}
    // After the object's own properties, before the objects nested in it are read.
    virtual void propertiesRead() {}
    virtual void loaded() {}
};

// A value object owned by a report object (a frame, a font, a page): written as dotted sub-properties of its
// owner ("Font.Name"), never as an object of its own and never as a reference.
class RpPersistent : public QObject, public StreamHooks
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void changed();
};
