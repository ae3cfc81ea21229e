#include "navigation/SourceListItem.h"

SourceListItem::SourceListItem(const QString &identifier, const QString &title)
    : identifier(identifier)
    , title(title)
{
}

int SourceListItem::indexOfChild(const SourceListItem *child) const
{
    for (size_t i = 0; i < m_children.size(); ++i)
        if (m_children[i].get() == child)
            return int(i);
    return -1;
}

void SourceListItem::setChildren(std::vector<std::unique_ptr<SourceListItem>> children)
{
    m_children = std::move(children);
    for (auto &c : m_children)
        c->m_parent = this;
}

SourceListItem *SourceListItem::addChild(std::unique_ptr<SourceListItem> child)
{
    child->m_parent = this;
    m_children.push_back(std::move(child));
    return m_children.back().get();
}
