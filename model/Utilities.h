#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Number of elements of an array; 0 for an array without elements.
template <typename T> int intArrayLength(const std::vector<T>& array) {
    return static_cast<int>(array.size());
}

// The text without the leading and trailing characters that occur in blanks.
std::string strTrimmed(std::string_view text, std::string_view blanks = " \t\r\n");

// The text with the letters A-Z made lower case; every other byte is kept.
std::string strLowered(std::string text);

// The count with its noun, singular for one: "1 game", "3 games" (nouns that take an "s").
std::string strCounted(int64_t count, const std::string& noun);

// CRC-16/MCRF4XX of the first length characters of the text (-1: the whole text).
long lngCrc16(std::string_view text, long length = -1);

// A handle on an object that lives for the whole run: the object is kept alive once, and the handle
// shares no count, so the constants of the hot rules paths are copied without atomic operations.
template <typename T> std::shared_ptr<T> objForever(const std::shared_ptr<T>& object) {
    static auto* kept = new std::vector<std::shared_ptr<T>>(); // never released
    kept->push_back(object);
    return std::shared_ptr<T>(std::shared_ptr<T>(), object.get());
}
