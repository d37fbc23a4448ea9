// Where an installed nordglow-capture finds its data, and its version.
#include "capture/args.h"

#include <filesystem>

#ifndef NG_VERSION
#error "NG_VERSION comes from the project version in CMake"
#endif
#ifndef NG_DATA_FROM_BINDIR
#error "NG_DATA_FROM_BINDIR comes from the install layout in CMake"
#endif

namespace capture {

const char* const VersionText = NG_VERSION;

std::string defaultDataDir()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory("Data", ec)) return ".";
    // The program's own path, links resolved, so that any prefix (and a
    // package unpacked anywhere) works without a path compiled in.
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path installed = (self.parent_path() / NG_DATA_FROM_BINDIR).lexically_normal();
        if (fs::is_directory(installed / "Data", ec)) return installed.string();
    }
    return ".";
}

} // namespace capture
