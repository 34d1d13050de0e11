#pragma once
// A refused write as the user reads it: the file, and what to do about it.
#include <string>

#include "core/message.h"

namespace varidac::refusal {

inline constexpr const char* kDiskFull = "The disk is full: make room and run again";
inline constexpr const char* kAccessDenied = "Access denied: check the permissions of the folder and the file";
inline constexpr const char* kNoFolder = "The folder does not exist: read the list from an existing folder";
inline constexpr const char* kFolderNamed = "A folder has that name: rename or move the folder";
inline constexpr const char* kInUse = "The file is in use by another program: close it and run again";

inline Message cannotWrite(const std::string& path, const std::string& reason) {
    return Message{"Error !", MessageIcon::Error, {"Something is wrong!  ", "Cannot write " + path + "  ", reason + "  "}};
}

}  // namespace varidac::refusal
