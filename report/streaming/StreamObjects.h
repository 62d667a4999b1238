#pragma once

#include "report/streaming/ReportRegistry.h"
#include "report/notation/StreamTree.h"

#include <QObject>
#include <functional>
#include <memory>

// Maps object trees onto object blocks and back by walking the published properties (the meta-object's
// properties): value sub-objects become dotted paths ("Font.Name"), links to other objects references,
// children registered by class nested objects.
//
// Writing stores a property when its value differs from that of a new object of the same class (or always,
// for the names listed in the class info "AlwaysStored"). Reading swallows per-property errors: a property
// the object does not have, a bad value, a nested object of an unregistered class is skipped. References are
// resolved once the whole block is read, through the properties' setters.

struct StreamReadOptions
{
    const ClassRegistry *registry = nullptr; // reportClasses() when null
    // Resolves a qualified reference to an object outside the block ("RuntimeDatamodule.Table1").
    std::function<QObject *(const QString &reference)> resolveExternal;
};

StreamObject objectToStream(const QObject *root, const ClassRegistry &registry = reportClasses());
// Reads the block into an existing object of a matching class.
void streamToObject(const StreamObject &block, QObject *root, const StreamReadOptions &options = {});
// Creates the root by its class name; EStreamError for a class that is not registered.
std::unique_ptr<QObject> createFromStream(const StreamObject &block, const StreamReadOptions &options = {});

QByteArray writeComponentText(const QObject *root);
QByteArray writeComponentResource(const QObject *root);
// Either form, recognised by the first byte; EStreamError on a broken block.
std::unique_ptr<QObject> readComponent(const QByteArray &bytes, const StreamReadOptions &options = {});

// How a reference from inside `root` to `target` is written: its name when it lies inside the root, "Owner"
// for the root itself, else qualified by its owner's name (or followed by ".Owner" when the owner has none).
QString referenceText(const QObject *target, const QObject *root);
