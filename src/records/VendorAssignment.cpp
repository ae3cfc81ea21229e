#include "records/VendorAssignment.h"

#include "core/SaveFailureConvention.h"
#include "records/RecordSelection.h"
#include "store/FetchRequest.h"
#include "store/ManagedObjectContext.h"

VendorAssignment::VendorAssignment(ManagedObjectContext *context, const RecordSelection &selection)
    : m_context(context)
    , m_selection(selection)
{
}

void VendorAssignment::vendorSourceSelected(const QString &vendor)
{
    if (vendor.isEmpty() || !m_context)
        return;
    const QString entity = QStringLiteral("Vendor");
    const QString nameKey = QStringLiteral("vendorName");
    if (!m_context
             ->executeFetchRequest(
                 { entity, Predicate::fromFormat(QStringLiteral("%K == %@"), { nameKey, vendor }), {}, 1 })
             .isEmpty())
        return;
    ManagedObject *made = m_context->insertNewObject(entity);
    made->setValue(nameKey, vendor);
    for (ManagedObject *object : m_selection.selectedRecords())
        object->setValue(nameKey, vendor);
    SaveFailureConvention::commitChanges(*m_context, made);
}
