#include "model/ColPieceLocations.h"

#include "model/CError.h"

const std::shared_ptr<CPieceLocation>&
ColPieceLocations::Add(const std::shared_ptr<CPieceLocation>& location, const std::string& key) {
    if (!key.empty())
        for (const Entry& entry : m_entries)
            if (entry.first == key)
                throw CError(457, "ColPieceLocations",
                             "This key is already associated with an element of this collection");
    m_entries.emplace_back(key, location);
    return m_entries.back().second;
}

std::shared_ptr<CPieceLocation> ColPieceLocations::Item(int position) const {
    if (position < 1 || position > Count()) return nullptr;
    return m_entries[position - 1].second;
}

std::shared_ptr<CPieceLocation> ColPieceLocations::Item(const std::string& key) const {
    if (key.empty()) return nullptr;
    for (const Entry& entry : m_entries)
        if (entry.first == key) return entry.second;
    return nullptr;
}

void ColPieceLocations::Remove(int position) {
    if (position < 1 || position > Count()) return;
    m_entries.erase(m_entries.begin() + (position - 1));
}

void ColPieceLocations::Remove(const std::string& key) {
    if (key.empty()) return;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        if (it->first == key) {
            m_entries.erase(it);
            return;
        }
}
