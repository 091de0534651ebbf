#include "workbook/GameAnnotations.h"

#include <cctype>

bool GameAnnotations::isEmpty() const {
    if (!arrTags.empty()) return false;
    for (const auto& entry : mapNodes)
        if (!entry.second.isEmpty()) return false;
    return true;
}

std::string GameAnnotations::strTag(const std::string& name) const {
    for (const auto& [tagName, value] : arrTags)
        if (tagName == name) return value;
    return "";
}

const NodeAnnotation* GameAnnotations::objNode(const std::string& key) const {
    auto found = mapNodes.find(key);
    if (found == mapNodes.end() || found->second.isEmpty()) return nullptr;
    return &found->second;
}

void GameAnnotations::AppendComment(std::string& comment, const std::string& text) {
    if (text.empty()) return;
    if (!comment.empty()) comment += ' ';
    comment += text;
}

std::string GameAnnotations::strNagsText(const std::vector<int>& nags) {
    std::string text;
    for (int nag : nags) {
        if (!text.empty()) text += ' ';
        text += std::to_string(nag);
    }
    return text;
}

std::vector<int> GameAnnotations::arrNagsOf(const std::string& text) {
    std::vector<int> nags;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        size_t start = i;
        while (i < text.size() && text[i] != ' ')
            ++i;
        const std::string word = text.substr(start, i - start);
        bool digits = !word.empty() && word.size() <= 3;
        for (char c : word)
            digits = digits && std::isdigit(static_cast<unsigned char>(c)) != 0;
        if (digits) nags.push_back(std::stoi(word));
    }
    return nags;
}
