#pragma once

#include <QByteArray>

#include <optional>

class Predicate;

// The stored form of predicates (smart folders keep theirs in the store).
//
// Byte 0 is the format version (1). Then one node:
//   0x00                       the empty predicate (only as the whole)
//   'C' modifier op options key value   a comparison
//   'A' | 'O' | 'N' count node*          a compound and its members, in order
// value: 0 nil, 1 NO, 2 YES, 3 integer (8 bytes), 4 number (8 bytes, IEEE 754),
//   5 text, 6 date (milliseconds since 1970 UTC, 8 bytes), 7 list (count value*).
// Counts and lengths are unsigned LEB128; texts are UTF-8; fixed-size numbers are
// little-endian. Anything left over, cut short or out of range makes the whole
// stored form unreadable rather than half read.
class PredicateCodec
{
public:
    static constexpr char FormatVersion = 1;

    static QByteArray encode(const Predicate &predicate);
    static std::optional<Predicate> decode(const QByteArray &data);
};
