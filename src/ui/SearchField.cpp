#include "ui/SearchField.h"

#include "navigation/SearchFieldController.h"

#include <QAction>
#include <QIcon>
#include <QStyle>

SearchField::SearchField(SearchFieldController *controller, QWidget *parent)
    : QLineEdit(parent)
    , m_controller(controller)
{
    setObjectName(QStringLiteral("searchField"));
    setPlaceholderText(tr("Search"));
    setClearButtonEnabled(true);
    setMinimumWidth(200);
    setMaximumWidth(320);
    addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView), QLineEdit::LeadingPosition);
    // Typing fast makes one search, not one per key.
    m_pause.setSingleShot(true);
    m_pause.setInterval(150);
    connect(&m_pause, &QTimer::timeout, this, &SearchField::search);
    connect(this, &QLineEdit::textEdited, this, [this] { m_pause.start(); });
    connect(this, &QLineEdit::returnPressed, this, &SearchField::search);
    // The clear button changes the text without an edit.
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text.isEmpty() && !m_controller->text().isEmpty())
            search();
    });
    connect(controller, &SearchFieldController::textChanged, this, [this](const QString &text) {
        m_pause.stop();
        if (this->text() != text)
            setText(text);
    });
}

void SearchField::search()
{
    m_pause.stop();
    if (text() != m_controller->text() || text().isEmpty())
        m_controller->searchFieldSearch(text());
}
