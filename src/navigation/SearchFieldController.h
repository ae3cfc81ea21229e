#pragma once

#include "predicate/Predicate.h"

#include <QObject>
#include <QString>

// The search field: turns the typed text into the library search and posts it
// as TBXSearchFieldUpdated; a change of source row empties it.
class SearchFieldController : public QObject
{
    Q_OBJECT

public:
    static inline const QString predicateTypeEmpty = QStringLiteral("empty");
    static inline const QString predicateTypeSimple = QStringLiteral("simple");

    explicit SearchFieldController(QObject *parent = nullptr);
    ~SearchFieldController() override;

    const QString &text() const { return m_text; }
    const QString &rowName() const { return m_rowName; }
    const QString &rowType() const { return m_rowType; }

    // The search action with the text as typed (no trimming, no splitting).
    void searchFieldSearch(const QString &text);

    // Reads a TBXSearchFieldUpdated payload: the predicate when its type is
    // "simple", otherwise the empty predicate (no search).
    static Predicate searchFilterFromPayload(const QVariantMap &payload);

signals:
    // The field's text was set here (emptied on a row change).
    void textChanged(const QString &text);

private:
    QString m_text;
    QString m_rowName;
    QString m_rowType;
};
