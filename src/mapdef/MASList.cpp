#include "mapdef/MASList.h"

namespace corvane {

size_t MASList::IndexOf(const MASStruct* m) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == m) return i;
    return items_.size();
}

MASStruct* MASList::FindTitle(const std::string& Title) const
{
    for (const auto& m : items_)
        if (m->Title && *m->Title == Title) return m.get();
    return nullptr;
}

void MASList::Append(std::unique_ptr<MASStruct> m)
{
    Insert(items_.size(), std::move(m));
}

void MASList::Insert(size_t pos, std::unique_ptr<MASStruct> m)
{
    if (!m) return;
    if (pos >= items_.size()) {
        m->NextMAS = nullptr;
        if (!items_.empty()) items_.back()->NextMAS = m.get();
        items_.push_back(std::move(m));
        return;
    }
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(pos), std::move(m));
    Relink();
}

std::unique_ptr<MASStruct> MASList::Take(const MASStruct* m)
{
    size_t i = IndexOf(m);
    if (i == items_.size()) return nullptr;
    std::unique_ptr<MASStruct> out = std::move(items_[i]);
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
    out->NextMAS = nullptr;
    Relink();
    return out;
}

void MASList::MoveToFront(const MASStruct* m)
{
    if (auto t = Take(m)) Insert(0, std::move(t));
}

void MASList::MoveToBack(const MASStruct* m)
{
    if (auto t = Take(m)) Append(std::move(t));
}

void MASList::Clear() { items_.clear(); }

void MASList::Relink()
{
    for (size_t i = 0; i < items_.size(); ++i)
        items_[i]->NextMAS = i + 1 < items_.size() ? items_[i + 1].get() : nullptr;
}

} // namespace corvane
