#pragma once

#include <QString>

class ManagedObjectContext;
class RecordSelection;

// A vendor chosen by name: a Vendor of that name is made when the library has
// none, and set on the selected records.
class VendorAssignment
{
public:
    VendorAssignment(ManagedObjectContext *context, const RecordSelection &selection);

    // Picks the Vendor of that name, or makes it and sets it on the selected records.
    void vendorSourceSelected(const QString &vendor);

private:
    ManagedObjectContext *m_context;
    const RecordSelection &m_selection;
};
