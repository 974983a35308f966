#include "platform/SortedList.h"

#include <algorithm>

namespace quillmar {

namespace {
unsigned char Upper(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}
}  // namespace

bool TextLessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Upper(x) < Upper(y); });
}

void SortedList::add(std::string text, long long itemData) {
    entries_.push_back(Entry{std::move(text), itemData});
    sorted_ = false;
}

const std::vector<SortedList::Entry>& SortedList::entries() const {
    if (!sorted_) {
        std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return TextLessNoCase(a.text, b.text);
        });
        sorted_ = true;
    }
    return entries_;
}

}  // namespace quillmar
