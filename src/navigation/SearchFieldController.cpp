#include "navigation/SearchFieldController.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "predicate/SearchPredicate.h"

SearchFieldController::SearchFieldController(QObject *parent)
    : QObject(parent)
{
    EventBus::instance().observe(this, Events::TBXSelectedSourceNameChanged, [this](const Event &e) {
        m_rowName = e.userInfo.value(EventKeys::rowName).toString();
        m_rowType = e.userInfo.value(EventKeys::rowType).toString();
        m_text.clear();
        emit textChanged(m_text);
        EventBus::instance().post(
            Events::TBXSearchFieldUpdated, this,
            { { EventKeys::predicate, QString() }, { EventKeys::predicateType, predicateTypeEmpty } });
    });
}

SearchFieldController::~SearchFieldController()
{
    EventBus::instance().remove(this);
}

void SearchFieldController::searchFieldSearch(const QString &text)
{
    m_text = text;
    if (text.isEmpty()) {
        EventBus::instance().post(
            Events::TBXSearchFieldUpdated, this,
            { { EventKeys::predicate, QString() }, { EventKeys::predicateType, predicateTypeEmpty } });
        return;
    }
    // Built once per search; the views evaluate it against every record.
    const Predicate predicate = SearchPredicate::forSearchText(text);
    EventBus::instance().post(Events::TBXSearchFieldUpdated, this,
                              { { EventKeys::predicate, QVariant::fromValue(predicate) },
                                { EventKeys::predicateType, predicateTypeSimple } });
}

Predicate SearchFieldController::searchFilterFromPayload(const QVariantMap &payload)
{
    if (payload.value(EventKeys::predicateType).toString() != predicateTypeSimple)
        return Predicate();
    const QVariant p = payload.value(EventKeys::predicate);
    return p.metaType() == QMetaType::fromType<Predicate>() ? p.value<Predicate>() : Predicate();
}
