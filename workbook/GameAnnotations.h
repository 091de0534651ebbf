#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// The words and marks written about one node of a game tree: a comment before its move (the
// start of a variation), one after it, and its numeric annotation glyphs (1 to 6 are !, ?, !!,
// ??, !? and ?!). The root's comment before is the game comment; its glyphs are marks on the
// start position.
struct NodeAnnotation {
    std::string strBefore;
    std::string strAfter;
    std::vector<int> arrNags;

    // True when the node carries nothing.
    bool isEmpty() const { return strBefore.empty() && strAfter.empty() && arrNags.empty(); }
    bool operator==(const NodeAnnotation&) const = default;
};

// Everything a game carries besides its moves: its tags in the order read and the annotations
// of its nodes, keyed by node key (stable while the game is edited and saved again).
struct GameAnnotations {
    std::vector<std::pair<std::string, std::string>> arrTags;
    std::unordered_map<std::string, NodeAnnotation> mapNodes;
    // False when the stored annotations could not be read (then the tags and comments are empty
    // and only the glyphs that could be read are there): they are still stored, and whatever is
    // written must not take their place.
    bool isReadable = true;

    // True when there are neither tags nor node annotations.
    bool isEmpty() const;
    // The same tags in the same order, the same annotation on every node.
    bool operator==(const GameAnnotations&) const = default;
    // The value of the first tag of that name, or "" when there is none.
    std::string strTag(const std::string& name) const;
    // The node's annotation, or nullptr when it has none.
    const NodeAnnotation* objNode(const std::string& key) const;
    // Adds the text to a comment, separated by a space from what is there already.
    static void AppendComment(std::string& comment, const std::string& text);
    // The tags as stored: one line [Name "Value"] each, backslash, quote and line break escaped.
    static std::string strTagsText(const std::vector<std::pair<std::string, std::string>>& tags);
    // The tags of a stored text; a line that is not a tag is left out.
    static std::vector<std::pair<std::string, std::string>> arrTagsOf(const std::string& text);
    // The glyphs as stored ("1 14"): decimal numbers separated by spaces.
    static std::string strNagsText(const std::vector<int>& nags);
    // The glyphs of a stored text; anything but numbers from 0 to 999 is left out.
    static std::vector<int> arrNagsOf(const std::string& text);
};
