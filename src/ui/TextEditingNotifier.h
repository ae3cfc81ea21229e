#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Posts the platform's text-editing notifications for every text field and text
// view of the program: ControlTextDidBeginEditing / ControlTextDidEndEditing for
// line edits (spin boxes included), TextDidBeginEditing / TextDidEndEditing for
// text views. Editing begins with the first change the user makes and ends when
// the field finishes editing or loses the focus. Records hold their change
// events back in between. The end is posted before the field hands its value
// on (focus out, Return), so the record's change that commits the edit is
// announced. Make one for the application.
class TextEditingNotifier : public QObject
{
    Q_OBJECT

public:
    explicit TextEditingNotifier(QObject *parent = nullptr);
    ~TextEditingNotifier() override;

    // Ends the edit in progress, if any (posts the end notification).
    void endEditing();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void hook(QWidget *widget);
    void begin(QWidget *widget, bool textView);

    QPointer<QWidget> m_editing;
    bool m_editingTextView = false;
};
