#pragma once

#include <string>
#include <vector>

namespace quillmar {

// A list box that keeps its entries sorted by text without regard to case; each entry carries
// a number (the item data). An entry equal to one already there goes after it.
class SortedList {
  public:
    struct Entry {
        std::string text;
        long long itemData = 0;
    };
    void add(std::string text, long long itemData = 0);
    void clear() {
        entries_.clear();
        sorted_ = true;
    }
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }
    // The entries in their sorted order.
    const std::vector<Entry>& entries() const;

  private:
    // Sorted when read, so that filling a long list stays linear.
    mutable std::vector<Entry> entries_;
    mutable bool sorted_ = true;
};

// Text order of the sorted lists: byte by byte, letters compared as upper case.
bool TextLessNoCase(const std::string& a, const std::string& b);

}  // namespace quillmar
