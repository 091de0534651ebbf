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

std::string
GameAnnotations::strTagsText(const std::vector<std::pair<std::string, std::string>>& tags) {
    std::string text;
    for (const auto& [name, value] : tags) {
        text.reserve(text.size() + name.size() + value.size() + 8);
        text += '[';
        for (char c : name)
            if (c != ' ' && c != '\n' && c != '"') text += c;
        text += " \"";
        for (char c : value) {
            if (c == '\\' || c == '"') text += '\\';
            if (c == '\n') {
                text += "\\n";
            } else {
                text += c;
            }
        }
        text += "\"]\n";
    }
    return text;
}

std::vector<std::pair<std::string, std::string>>
GameAnnotations::arrTagsOf(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> tags;
    size_t i = 0;
    while (i < text.size()) {
        size_t end = text.find('\n', i);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(i, end - i);
        i = end + 1;
        const size_t space = line.find(" \"");
        if (line.size() < 5 || line[0] != '[' || space == std::string::npos || space < 2 ||
            line.compare(line.size() - 2, 2, "\"]") != 0)
            continue;
        std::string value;
        bool closed = false;
        for (size_t at = space + 2; at < line.size(); ++at) {
            char c = line[at];
            if (c == '"') {
                closed = at == line.size() - 2;
                break;
            }
            if (c == '\\' && at + 1 < line.size()) {
                c = line[++at];
                if (c == 'n') c = '\n';
            }
            value += c;
        }
        if (closed) tags.emplace_back(line.substr(1, space - 1), value);
    }
    return tags;
}
