#include "store/ToManySet.h"

#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <algorithm>

ToManySet::ToManySet(ManagedObject *owner, int relationshipIndex)
    : m_owner(owner)
    , m_relationship(relationshipIndex)
{
}

int ToManySet::count() const
{
    return isValid() ? int(m_owner->m_members[m_relationship].size()) : 0;
}

bool ToManySet::contains(const ManagedObject *member) const
{
    if (!isValid())
        return false;
    const auto &members = m_owner->m_members[m_relationship];
    return std::find(members.begin(), members.end(), member) != members.end();
}

QList<ManagedObject *> ToManySet::allObjects() const
{
    return isValid() ? m_owner->relatedObjects(m_relationship) : QList<ManagedObject *>();
}

bool ToManySet::addObject(ManagedObject *member)
{
    return isValid() && m_owner->m_context && m_owner->m_context->addMember(m_owner, m_relationship, member);
}

bool ToManySet::removeObject(ManagedObject *member)
{
    return isValid() && m_owner->m_context && m_owner->m_context->removeMember(m_owner, m_relationship, member);
}

void ToManySet::addObjects(const QList<ManagedObject *> &members)
{
    for (ManagedObject *member : members)
        addObject(member);
}

void ToManySet::removeObjects(const QList<ManagedObject *> &members)
{
    for (ManagedObject *member : members)
        removeObject(member);
}

void ToManySet::removeAllObjects()
{
    removeObjects(allObjects());
}
