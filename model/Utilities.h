#pragma once

#include <string>
#include <vector>

// Number of elements of an array; 0 for an array without elements.
template <typename T> int intArrayLength(const std::vector<T>& array) {
    return static_cast<int>(array.size());
}

// CRC-16/MCRF4XX of the first length characters of the text (-1: the whole text).
long lngCrc16(const std::string& text, long length = -1);
