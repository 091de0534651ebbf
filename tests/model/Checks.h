#pragma once

// Checks shared by the tests: the error a call raises, and texts that must hold a part.
#include "model/CError.h"

#include <gtest/gtest.h>
#include <string>

// The CError the call raises as "source number: message"; "no error" when it raises none.
template <typename Call> std::string ErrorOf(Call&& call) {
    try {
        call();
    } catch (const CError& error) {
        return error.strSource + " " + std::to_string(error.lngNumber) + ": " + error.what();
    }
    return "no error";
}

// The message of the CError the call raises, without source and number; "no error" without one.
template <typename Call> std::string MessageOf(Call&& call) {
    const std::string error = ErrorOf(call);
    return error == "no error" ? error : error.substr(error.find(": ") + 2);
}

// Succeeds when the text holds the part; the failure shows both.
inline ::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << text << "\" lacks \"" << part << "\"";
}
