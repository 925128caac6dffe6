// The opener of every file a reader reads whole: what it opens, what it refuses, and that
// finding out never blocks; the readers' own tests keep one absent-file row each.
#include "base/regular_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/proc_self.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(RegularFile, OpensRegularFilesOnlyAndNeverBlocks) {
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    const std::string content = "snow";
    std::string regular = dir.write("regular", content);
    std::string empty = dir.write("empty", std::string());
    std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string directory = dir.file("directory");
    ASSERT_TRUE(std::filesystem::create_directory(directory));
    struct Case {
        const char* name;
        std::string path;
        bool opens;
        std::string content;
    };
    const Case cases[] = {
        {"absent", dir.file("absent"), false, ""},  {"directory", directory, false, ""},
        {"FIFO without a writer", fifo, false, ""},  // a plain open would wait for one
        {"device", "/dev/zero", false, ""},         {"empty regular file", empty, true, ""},
        {"regular file", regular, true, content},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t filesBefore = openFileCount();
        alarm(10);  // a blocked open ends the test instead of hanging it
        int file = openRegularFile(c.path.c_str());
        FILE* stream = openRegularStream(c.path.c_str());
        alarm(0);
        EXPECT_EQ(file >= 0, c.opens);
        EXPECT_EQ(stream != nullptr, c.opens);
        if (file >= 0) {
            // Reads block again, as reading a whole file expects, and no child inherits it.
            EXPECT_EQ(fcntl(file, F_GETFL) & O_NONBLOCK, 0);
            EXPECT_NE(fcntl(file, F_GETFD) & FD_CLOEXEC, 0);
            std::vector<char> bytes(16);
            ssize_t got = read(file, bytes.data(), bytes.size());
            EXPECT_EQ(std::string(bytes.data(), got > 0 ? static_cast<size_t>(got) : 0), c.content);
            close(file);
        }
        if (stream != nullptr) {
            std::vector<char> bytes(16);
            size_t got = std::fread(bytes.data(), 1, bytes.size(), stream);
            EXPECT_EQ(std::string(bytes.data(), got), c.content);
            std::fclose(stream);
        }
        EXPECT_EQ(openFileCount(), filesBefore) << "a refused path left a descriptor open";
    }
}

}  // namespace
