#pragma once

#include "model/Types.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// An ordered collection of piece locations, each optionally reachable by a text key; positions
// count from 1 in the order of insertion.
class ColPieceLocations {
public:
    using Entry = std::pair<std::string, std::shared_ptr<CPieceLocation>>;

    // Appends the location under the key (no key when empty); a present key raises error 457.
    const std::shared_ptr<CPieceLocation>& Add(const std::shared_ptr<CPieceLocation>& location,
                                               const std::string& key = "");
    // The entry at the position (from 1), or nothing.
    std::shared_ptr<CPieceLocation> Item(int position) const;
    // The entry of the key, or nothing.
    std::shared_ptr<CPieceLocation> Item(const std::string& key) const;
    // Number of entries.
    int Count() const { return static_cast<int>(m_entries.size()); }
    // Removes the entry at the position; a missing position is ignored.
    void Remove(int position);
    // Removes the entry of the key; a missing key is ignored.
    void Remove(const std::string& key);
    // Removes every entry.
    void Clear() { m_entries.clear(); }

    // Iteration over the locations in order (the collection's enumerator).
    class Iterator {
    public:
        explicit Iterator(std::vector<Entry>::const_iterator it) : m_it(it) {}
        const std::shared_ptr<CPieceLocation>& operator*() const { return m_it->second; }
        Iterator& operator++() {
            ++m_it;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return m_it != other.m_it; }

    private:
        std::vector<Entry>::const_iterator m_it;
    };
    // First location in order.
    Iterator begin() const { return Iterator(m_entries.begin()); }
    // Past the last location.
    Iterator end() const { return Iterator(m_entries.end()); }
    // The entries with their keys, in order.
    const std::vector<Entry>& NewEnum() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};
