#pragma once
// A list of themes of a map definition (base maps, overlays or text pages). The list owns
// its themes and keeps them chained through MASStruct::NextMAS in list order, so drawing
// code can walk First()->NextMAS->... while commands reorder the list through this class.
#include "catalogue/MasterFile.h"

#include <memory>
#include <string>
#include <vector>

namespace corvane {

class MASList {
public:
    MASList() = default;
    MASList(const MASList&) = delete;
    MASList& operator=(const MASList&) = delete;
    MASList(MASList&&) = default;
    MASList& operator=(MASList&&) = default;

    MASStruct* First() const { return items_.empty() ? nullptr : items_.front().get(); }
    MASStruct* Last() const { return items_.empty() ? nullptr : items_.back().get(); }
    MASStruct* At(size_t i) const { return i < items_.size() ? items_[i].get() : nullptr; }
    size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    // Position of a theme in the list, or Count() when it is not there.
    size_t IndexOf(const MASStruct* m) const;
    // First theme whose title equals Title exactly (case-sensitive), or nullptr.
    MASStruct* FindTitle(const std::string& Title) const;

    void Append(std::unique_ptr<MASStruct> m);
    void Insert(size_t pos, std::unique_ptr<MASStruct> m);   // pos past the end appends
    // Unlinks a theme and hands it back (nullptr when it is not in the list).
    std::unique_ptr<MASStruct> Take(const MASStruct* m);
    void MoveToFront(const MASStruct* m);
    void MoveToBack(const MASStruct* m);
    // Frees every theme.
    void Clear();

    // Iteration in list order.
    class const_iterator {
    public:
        explicit const_iterator(std::vector<std::unique_ptr<MASStruct>>::const_iterator it) : it_(it) {}
        MASStruct* operator*() const { return it_->get(); }
        const_iterator& operator++()
        {
            ++it_;
            return *this;
        }
        bool operator!=(const const_iterator& o) const { return it_ != o.it_; }

    private:
        std::vector<std::unique_ptr<MASStruct>>::const_iterator it_;
    };
    const_iterator begin() const { return const_iterator(items_.begin()); }
    const_iterator end() const { return const_iterator(items_.end()); }

private:
    void Relink();
    std::vector<std::unique_ptr<MASStruct>> items_;
};

} // namespace corvane
