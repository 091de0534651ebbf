#pragma once

#include <string>

// Why a write to a workbook failed, in plain words for the user, from the database's error text:
// "the file cannot be written (it is read-only).", "the disk is full." and the like; an error of
// another kind is given as it is, with a full stop.
std::string strWriteFailureReason(const std::string& error);
