#pragma once

#include <QList>

class ManagedObject;

// The mutable set of one to-many relationship of one object. Adding or removing
// changes both sides, is undoable and is stored at the next save. A member must
// be a live object of the relationship's destination entity in the same context.
class ToManySet
{
public:
    ToManySet() = default;
    ToManySet(ManagedObject *owner, int relationshipIndex);

    bool isValid() const { return m_owner && m_relationship >= 0; }
    int count() const;
    bool contains(const ManagedObject *member) const;
    QList<ManagedObject *> allObjects() const;

    // False when the object cannot be a member (or, for remove, is none).
    bool addObject(ManagedObject *member);
    bool removeObject(ManagedObject *member);
    void addObjects(const QList<ManagedObject *> &members);
    void removeObjects(const QList<ManagedObject *> &members);
    void removeAllObjects();

private:
    ManagedObject *m_owner = nullptr;
    int m_relationship = -1;
};
