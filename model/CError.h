#pragma once

#include <stdexcept>
#include <string>

// The one error the model raises: a number (9999 for every model error), the class that raised it
// as source ("CDiagram", "CPosition", "CWorkBook", ...) and a fixed message.
class CError : public std::runtime_error {
public:
    CError(long number, std::string source, const std::string& description)
        : std::runtime_error(description), lngNumber(number), strSource(std::move(source)) {}

    long lngNumber;
    std::string strSource;

    std::string strDescription() const { return what(); }
};

// Raises the model's error 9999 with the given source and message.
[[noreturn]] inline void RaiseError(const std::string& source, const std::string& description) {
    throw CError(9999, source, description);
}
