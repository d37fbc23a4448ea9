// Checked file writing for the generator.
#include "datagen/datagen.h"

#include <cstdio>
#include <filesystem>

namespace datagen {

bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (ec) {
        std::fprintf(stderr, "datagen: cannot create folder for %s: %s\n", path.c_str(), ec.message().c_str());
        return false;
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(("datagen: cannot open " + path).c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) std::fprintf(stderr, "datagen: write failed: %s\n", path.c_str());
    return ok;
}

bool writeFileText(const std::string& path, const std::string& text)
{
    return writeFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

} // namespace datagen
