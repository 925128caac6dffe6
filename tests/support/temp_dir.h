// A private directory for the files one test writes, removed with everything in it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/whole_file.h"

class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "snowtest.XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // Writes `bytes` to the named file in the directory and returns its path.
    template <typename Container>
    std::string write(const std::string& name, const Container& bytes) const {
        std::string target = file(name);
        writeFile(target, bytes);
        return target;
    }

  private:
    std::string path_;
};
