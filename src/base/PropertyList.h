#pragma once

#include <QByteArray>
#include <QVariant>

#include <optional>

// Property lists (XML or binary) as Qt values: dictionaries become QVariantMap,
// arrays QVariantList, strings QString, integers qint64, reals double, booleans
// bool, dates QDateTime (UTC) and data QByteArray. Used for the lock file, web
// archives and the photo-library and older-library files.
namespace PropertyList {

// Parses XML or binary property-list bytes; nothing when they are not one
// (or nest deeper than any file of ours would).
std::optional<QVariant> read(const QByteArray &bytes);

// The XML form of `value`; empty when it holds a type a property list cannot.
QByteArray toXml(const QVariant &value);

} // namespace PropertyList
