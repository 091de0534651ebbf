#include "workbook/WriteFailure.h"

#include "model/Utilities.h"

std::string strWriteFailureReason(const std::string& error) {
    const std::string lower = strLowered(error);
    const auto says = [&lower](const char* words) {
        return lower.find(words) != std::string::npos;
    };
    if (says("readonly") || says("read-only"))
        return "the file cannot be written (it is read-only).";
    if (says("unable to open") || says("cannot open"))
        return "the file or its folder cannot be written.";
    if (says("full")) return "the disk is full.";
    if (says("i/o error")) return "the disk reported an error.";
    if (says("locked") || says("busy")) return "another program is using the workbook.";
    return error + ".";
}
