#include "base/PropertyList.h"

#include <QDateTime>
#include <QTimeZone>

#include <plist/plist.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kMaxDepth = 256;
// A binary list may share objects between containers; libplist copies each
// shared object wherever it is referenced, so a small file can expand hugely.
constexpr qint64 kMaxVisits = 1000000;
// Property-list dates count seconds from 2001-01-01 00:00:00 UTC.
const QDateTime kReferenceDate(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());

struct PlistDeleter
{
    void operator()(void *p) const { plist_free(static_cast<plist_t>(p)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

QString takeString(char *s)
{
    const QString out = s ? QString::fromUtf8(s) : QString();
    std::free(s);
    return out;
}

std::optional<QVariant> toVariant(plist_t node, int depth)
{
    if (!node || depth > kMaxDepth)
        return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return QVariant(b != 0);
    }
    case PLIST_UINT: {
        uint64_t u = 0;
        plist_get_uint_val(node, &u);
        return QVariant(qint64(u));
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return QVariant(d);
    }
    case PLIST_STRING: {
        char *s = nullptr;
        plist_get_string_val(node, &s);
        return QVariant(takeString(s));
    }
    case PLIST_KEY: {
        char *s = nullptr;
        plist_get_key_val(node, &s);
        return QVariant(takeString(s));
    }
    case PLIST_DATA: {
        char *d = nullptr;
        uint64_t len = 0;
        plist_get_data_val(node, &d, &len);
        const QByteArray out(d, qsizetype(len));
        std::free(d);
        return QVariant(out);
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return QVariant(kReferenceDate.addMSecs(qint64(sec) * 1000 + usec / 1000));
    }
    case PLIST_UID: {
        uint64_t u = 0;
        plist_get_uid_val(node, &u);
        return QVariant(qint64(u));
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t n = plist_array_get_size(node);
        list.reserve(n);
        for (uint32_t i = 0; i < n; ++i) {
            auto v = toVariant(plist_array_get_item(node, i), depth + 1);
            if (!v)
                return std::nullopt;
            list.append(*v);
        }
        return QVariant(list);
    }
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        for (;;) {
            char *key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, it, &key, &value);
            if (!value) {
                std::free(key);
                break;
            }
            const QString k = takeString(key);
            auto v = toVariant(value, depth + 1);
            if (!v) {
                std::free(it);
                return std::nullopt;
            }
            map.insert(k, *v);
        }
        std::free(it);
        return QVariant(map);
    }
    default:
        return std::nullopt;
    }
}

// Reads a big-endian unsigned integer of `size` bytes; false past the end.
bool readBigEndian(const QByteArray &bytes, qint64 offset, int size, quint64 *value)
{
    if (size < 1 || size > 8 || offset < 0 || offset + size > bytes.size())
        return false;
    quint64 v = 0;
    for (int i = 0; i < size; ++i)
        v = (v << 8) | quint8(bytes.at(offset + i));
    *value = v;
    return true;
}

// Walks a binary property list's object graph without recursion, before
// libplist (which recurses) sees it: false when it nests deeper than kMaxDepth,
// expands to more than kMaxVisits objects or refers outside the file.
bool binaryShapeIsSafe(const QByteArray &bytes)
{
    constexpr int kTrailer = 32;
    if (bytes.size() < 8 + kTrailer)
        return false;
    const qint64 trailer = bytes.size() - kTrailer;
    const int offsetSize = quint8(bytes.at(trailer + 6));
    const int refSize = quint8(bytes.at(trailer + 7));
    quint64 count = 0, top = 0, table = 0;
    if (!readBigEndian(bytes, trailer + 8, 8, &count) || !readBigEndian(bytes, trailer + 16, 8, &top)
        || !readBigEndian(bytes, trailer + 24, 8, &table))
        return false;
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8 || count == 0 || top >= count
        || table >= quint64(trailer) || count > quint64(trailer - table) / quint64(offsetSize))
        return false;

    const auto objectOffset = [&](quint64 index, qint64 *offset) {
        quint64 o = 0;
        if (index >= count || !readBigEndian(bytes, qint64(table + index * quint64(offsetSize)), offsetSize, &o)
            || o < 8 || o >= quint64(trailer))
            return false;
        *offset = qint64(o);
        return true;
    };
    // Containers store their length in the marker's low nibble, or after it as
    // an integer object when it is 0xF.
    const auto containerLength = [&](qint64 offset, quint64 *length, qint64 *first) {
        const quint8 marker = quint8(bytes.at(offset));
        *first = offset + 1;
        if ((marker & 0x0F) != 0x0F) {
            *length = marker & 0x0F;
            return true;
        }
        if (*first >= trailer || (quint8(bytes.at(*first)) & 0xF0) != 0x10)
            return false;
        const int size = 1 << (quint8(bytes.at(*first)) & 0x0F);
        if (!readBigEndian(bytes, *first + 1, size, length))
            return false;
        *first += 1 + size;
        return true;
    };

    std::vector<std::pair<quint64, int>> stack { { top, 0 } };
    qint64 visits = 0;
    while (!stack.empty()) {
        const auto [index, depth] = stack.back();
        stack.pop_back();
        if (depth > kMaxDepth || ++visits > kMaxVisits)
            return false;
        qint64 offset = 0;
        if (!objectOffset(index, &offset))
            return false;
        const quint8 type = quint8(bytes.at(offset)) >> 4;
        if (type != 0xA && type != 0xC && type != 0xD)
            continue; // not a container: libplist checks its bytes itself
        quint64 length = 0;
        qint64 first = 0;
        if (!containerLength(offset, &length, &first))
            return false;
        const quint64 refs = type == 0xD ? length * 2 : length;
        if (length > quint64(trailer) || first + qint64(refs * quint64(refSize)) > trailer)
            return false;
        for (quint64 r = 0; r < refs; ++r) {
            quint64 child = 0;
            if (!readBigEndian(bytes, first + qint64(r * quint64(refSize)), refSize, &child) || child >= count)
                return false;
            stack.emplace_back(child, depth + 1);
        }
    }
    return true;
}

// The deepest nesting of arrays and dictionaries in an XML property list,
// counted on the text so that a hostile file never reaches the parser.
bool xmlShapeIsSafe(const QByteArray &bytes)
{
    int depth = 0;
    for (qsizetype i = bytes.indexOf('<'); i >= 0; i = bytes.indexOf('<', i + 1)) {
        const QByteArrayView rest = QByteArrayView(bytes).sliced(i);
        const bool closing = rest.startsWith("</");
        const QByteArrayView name = rest.sliced(closing ? 2 : 1);
        if (!name.startsWith("array") && !name.startsWith("dict"))
            continue;
        const qsizetype end = bytes.indexOf('>', i);
        if (end < 0)
            return false;
        if (bytes.at(end - 1) == '/')
            continue; // <array/>
        depth += closing ? -1 : 1;
        if (depth > kMaxDepth)
            return false;
    }
    return true;
}

plist_t fromVariant(const QVariant &value, int depth)
{
    if (depth > kMaxDepth)
        return nullptr;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return plist_new_uint(uint64_t(value.toLongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QString:
        return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::QByteArray: {
        const QByteArray b = value.toByteArray();
        return plist_new_data(b.constData(), uint64_t(b.size()));
    }
    case QMetaType::QDateTime: {
        const qint64 ms = kReferenceDate.msecsTo(value.toDateTime());
        return plist_new_date(int32_t(ms / 1000), int32_t((ms % 1000) * 1000));
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        plist_t array = plist_new_array();
        for (const QVariant &v : value.toList()) {
            plist_t item = fromVariant(v, depth + 1);
            if (!item) {
                plist_free(array);
                return nullptr;
            }
            plist_array_append_item(array, item);
        }
        return array;
    }
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            plist_t item = fromVariant(it.value(), depth + 1);
            if (!item) {
                plist_free(dict);
                return nullptr;
            }
            plist_dict_set_item(dict, it.key().toUtf8().constData(), item);
        }
        return dict;
    }
    default:
        return nullptr;
    }
}

} // namespace

namespace PropertyList {

std::optional<QVariant> read(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > 0x7fffffff)
        return std::nullopt;
    const bool binary = bytes.startsWith("bplist00");
    if (binary ? !binaryShapeIsSafe(bytes) : !xmlShapeIsSafe(bytes))
        return std::nullopt;
    plist_t root = nullptr;
    plist_from_memory(bytes.constData(), uint32_t(bytes.size()), &root);
    if (!root)
        return std::nullopt;
    PlistPtr owner(root);
    return toVariant(root, 0);
}

QByteArray toXml(const QVariant &value)
{
    plist_t root = fromVariant(value, 0);
    if (!root)
        return {};
    PlistPtr owner(root);
    char *xml = nullptr;
    uint32_t len = 0;
    plist_to_xml(root, &xml, &len);
    const QByteArray out(xml, qsizetype(len));
    plist_to_xml_free(xml);
    return out;
}

} // namespace PropertyList
