// Where the stand-in USB library that belongs to a qorsim program lies.
#pragma once

#include <string>
#include <vector>

namespace qorsim {

// The stand-in's file name, as the link library asks for it.
inline constexpr const char *kStandinFileName = "libftd2xx.so";

// The first of the folders, each relative to programFolder, that holds the stand-in library;
// the cleaned absolute path of the file, or "" when none holds it.
std::string findStandinLibrary(const std::string &programFolder,
                               const std::vector<std::string> &relativeFolders);

} // namespace qorsim
