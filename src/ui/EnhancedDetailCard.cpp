#include "ui/EnhancedDetailCard.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Settings.h"
#include "core/Record.h"
#include "core/TBXDateFormatter.h"
#include "core/TBXNumberFormatter.h"
#include "navigation/DetailCardColorScheme.h"
#include "navigation/RecordLabels.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QString money(const TBXNumberFormatter &numbers, const QVariant &amount, const QString &currency)
{
    if (!amount.isValid())
        return QString();
    const int dash = int(currency.indexOf(QLatin1String(" - ")));
    return (dash >= 0 ? currency.left(dash) : currency) + numbers.stringFromNumber(amount.toDouble());
}

} // namespace

EnhancedDetailCard::EnhancedDetailCard(QWidget *parent)
    : QWidget(parent)
    , m_scheme(Settings::contains(Settings::colorSchemeIndex) ? Settings::integer(Settings::colorSchemeIndex)
                                                              : DetailCardColorScheme::defaultIndex)
{
    setObjectName(QStringLiteral("enhancedDetailCard"));
    setMinimumSize(360, 420);
    EventBus::instance().observe(this, Events::TBXColorSchemeUpdated, [this](const Event &) {
        m_scheme = Settings::integer(Settings::colorSchemeIndex);
        update();
    });
    EventBus::instance().observe(this, Events::TBXRecordReqUpdate, [this](const Event &e) {
        if (e.object == m_record)
            update();
    });
}

EnhancedDetailCard::~EnhancedDetailCard()
{
    EventBus::instance().remove(this);
}

void EnhancedDetailCard::setRecord(ManagedObject *record)
{
    m_record = record;
    update();
}

QList<QPair<QString, QString>> EnhancedDetailCard::fields() const
{
    const Record *r = Record::from(m_record);
    if (!r)
        return {};
    TBXDateFormatter dates;
    TBXNumberFormatter numbers;
    const auto value = [r](const char *key) { return r->valueForKey(QString::fromLatin1(key)); };
    QList<QPair<QString, QString>> rows = {
        { tr("Manufacturer"), r->manufacturer() },
        { tr("Model"), r->model() },
        { tr("Serial Number"), r->serialNumber() },
        { tr("Category"), r->category() },
        { tr("Location"), r->location() },
        { tr("Purchased"),
          r->purchaseDate().isValid() ? dates.stringFromDate(r->purchaseDate().toLocalTime()) : QString() },
        { tr("Vendor"), r->vendorName() },
        { tr("Price"), money(numbers, value("purchasePrice"), r->currency()) },
        { tr("Replacement"), money(numbers, value("replacementCost"), r->replacementCurrency()) },
        { tr("Quantity"), value("recordQty").isValid() ? QString::number(r->recordQty()) : QString() },
        { tr("Condition"),
          value("condition").isValid() ? RecordLabels::conditionStars(int(r->condition())) : QString() },
        { tr("Insured"),
          r->insured() ? (r->insurancePolicyName().isEmpty() ? tr("Yes") : tr("Yes, %1").arg(r->insurancePolicyName()))
                       : tr("No") },
        { tr("Warranty left"), r->expirationDate() },
        { tr("Tags"), r->tags() },
    };
    return rows;
}

void EnhancedDetailCard::paintEvent(QPaintEvent *)
{
    const DetailCardColorScheme colors = DetailCardColorScheme::scheme(m_scheme);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), colors.background);
    if (!m_drawnOnce) {
        m_drawnOnce = true;
        EventBus::instance().post(Events::TBXDetailViewReqRefresh, this);
    }
    const QRect card = rect().adjusted(18, 18, -18, -18);
    QPainterPath shape;
    shape.addRoundedRect(card, 12, 12);
    p.fillPath(shape.translated(0, 3), QColor(0, 0, 0, 40));
    p.fillPath(shape, colors.card);

    const Record *r = Record::from(m_record);
    if (!r || r->isDeleted()) {
        p.setPen(colors.label);
        p.drawText(card, Qt::AlignCenter, tr("No Record Selected"));
        return;
    }
    // Header band with the item's name and its label colour.
    const int headerHeight = 56;
    QPainterPath header;
    header.addRoundedRect(QRect(card.left(), card.top(), card.width(), headerHeight + 12), 12, 12);
    p.save();
    p.setClipRect(QRect(card.left(), card.top(), card.width(), headerHeight));
    p.fillPath(header, colors.header);
    p.restore();
    QFont titleFont = font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    p.setFont(titleFont);
    p.setPen(colors.headerText);
    const QRect titleRect(card.left() + 18, card.top(), card.width() - 60, headerHeight);
    p.drawText(titleRect, Qt::AlignVCenter | Qt::AlignLeft,
               QFontMetrics(titleFont).elidedText(r->item().isEmpty() ? tr("Untitled") : r->item(), Qt::ElideRight,
                                                  titleRect.width()));
    const QColor label = RecordLabels::color(int(r->labelIndex()));
    if (label.isValid()) {
        p.setBrush(label);
        p.setPen(QPen(colors.headerText, 2));
        p.drawEllipse(QPoint(card.right() - 28, card.top() + headerHeight / 2), 9, 9);
    }

    // Picture on the left, fields on the right.
    int top = card.top() + headerHeight + 16;
    const QImage photo = r->photoImg();
    const int pictureSide = std::min(160, card.width() / 3);
    const QRect picture(card.left() + 18, top, pictureSide, pictureSide);
    if (!photo.isNull()) {
        const QSize size = photo.size().scaled(picture.size(), Qt::KeepAspectRatio);
        p.drawImage(QRect(picture.topLeft(), size), photo);
    } else {
        p.setPen(QPen(colors.label, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(picture, 8, 8);
        p.drawText(picture, Qt::AlignCenter, tr("No Picture"));
    }
    // Warranty bar under the picture.
    const QRect bar(picture.left(), picture.bottom() + 14, pictureSide, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(colors.background);
    p.drawRoundedRect(bar, 4, 4);
    const double level = std::clamp(r->warrantyLevel() / 100.0, 0.0, 1.0);
    if (level > 0) {
        p.setBrush(colors.accent);
        p.drawRoundedRect(QRect(bar.left(), bar.top(), std::max(8, int(bar.width() * level)), bar.height()), 4, 4);
    }
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    p.setFont(small);
    p.setPen(colors.label);
    p.drawText(QRect(bar.left(), bar.bottom() + 4, bar.width(), 20), Qt::AlignLeft,
               tr("Warranty %1%").arg(qRound(r->warrantyLevel())));

    const int labelWidth = 110;
    const int fieldsLeft = picture.right() + 24;
    const int valueWidth = card.right() - 18 - fieldsLeft - labelWidth;
    const QFontMetrics fm(font());
    for (const auto &[name, value] : fields()) {
        if (top + fm.height() > card.bottom() - 80)
            break;
        p.setFont(small);
        p.setPen(colors.label);
        p.drawText(QRect(fieldsLeft, top, labelWidth - 8, fm.height()), Qt::AlignRight | Qt::AlignVCenter, name);
        p.setFont(font());
        p.setPen(colors.text);
        p.drawText(QRect(fieldsLeft + labelWidth, top, valueWidth, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(value.isEmpty() ? QStringLiteral("–") : value, Qt::ElideRight, valueWidth));
        top += fm.height() + 8;
    }

    // Notes across the bottom.
    const QString notes = r->notesPlainText().trimmed();
    if (!notes.isEmpty()) {
        top = std::max(top, bar.bottom() + 30) + 6;
        p.setPen(QPen(colors.accent, 1));
        p.drawLine(card.left() + 18, top, card.right() - 18, top);
        p.setPen(colors.text);
        p.setFont(font());
        p.drawText(QRect(card.left() + 18, top + 8, card.width() - 36, card.bottom() - top - 16),
                   Qt::TextWordWrap | Qt::AlignTop | Qt::AlignLeft, notes);
    }
}
