#include "standin_library.h"

#include <filesystem>
#include <system_error>

namespace qorsim {

std::string findStandinLibrary(const std::string &programFolder,
                               const std::vector<std::string> &relativeFolders) {
    namespace fs = std::filesystem;
    for (const std::string &folder : relativeFolders) {
        const fs::path candidate = fs::path(programFolder) / folder / kStandinFileName;
        std::error_code error;
        if (fs::is_regular_file(candidate, error))
            return candidate.lexically_normal().string();
    }
    return {};
}

} // namespace qorsim
