#include "ui/TextEditingNotifier.h"

#include "base/EventBus.h"
#include "base/Events.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

const char kHooked[] = "stashlyEditingHooked";

} // namespace

TextEditingNotifier::TextEditingNotifier(QObject *parent)
    : QObject(parent)
{
    qApp->installEventFilter(this);
}

TextEditingNotifier::~TextEditingNotifier()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void TextEditingNotifier::hook(QWidget *widget)
{
    if (widget->property(kHooked).toBool())
        return;
    widget->setProperty(kHooked, true);
    if (auto *line = qobject_cast<QLineEdit *>(widget)) {
        connect(line, &QLineEdit::textEdited, this, [this, line] { begin(line, false); });
        connect(line, &QLineEdit::editingFinished, this, [this, line] {
            if (m_editing == line)
                endEditing();
        });
    } else if (auto *text = qobject_cast<QTextEdit *>(widget)) {
        connect(text, &QTextEdit::textChanged, this, [this, text] {
            if (text->hasFocus())
                begin(text, true);
        });
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(widget)) {
        connect(plain, &QPlainTextEdit::textChanged, this, [this, plain] {
            if (plain->hasFocus())
                begin(plain, true);
        });
    }
}

void TextEditingNotifier::begin(QWidget *widget, bool textView)
{
    if (m_editing == widget)
        return;
    if (m_editing)
        endEditing();
    m_editing = widget;
    m_editingTextView = textView;
    EventBus::instance().post(textView ? Events::TextDidBeginEditing : Events::ControlTextDidBeginEditing, widget);
}

void TextEditingNotifier::endEditing()
{
    if (!m_editing)
        return;
    QWidget *widget = m_editing;
    m_editing = nullptr;
    EventBus::instance().post(m_editingTextView ? Events::TextDidEndEditing : Events::ControlTextDidEndEditing, widget);
}

bool TextEditingNotifier::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto *widget = qobject_cast<QWidget *>(watched))
            if (qobject_cast<QLineEdit *>(widget) || qobject_cast<QTextEdit *>(widget)
                || qobject_cast<QPlainTextEdit *>(widget))
                hook(widget);
    } else if (event->type() == QEvent::FocusOut && watched == m_editing) {
        endEditing();
    } else if (event->type() == QEvent::KeyPress && watched == m_editing && !m_editingTextView) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            endEditing();
    }
    return QObject::eventFilter(watched, event);
}
