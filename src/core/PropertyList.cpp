#include "core/PropertyList.h"

#include <QDateTime>
#include <QTimeZone>

#include <plist/plist.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr int kMaxDepth = 256;
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
