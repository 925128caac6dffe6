// Shader sources read whole. Every failure is reported as a warning, as the rest of the
// shader program's are.
#include "render/shader_source.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "base/error_report.h"
#include "base/regular_file.h"

namespace {

void reportWarning(const char* text) {
    reportError(ReportOwner::None, text, "ERROR", kReportWarning);
}

}  // namespace

char* readShaderSource(const char* path) {
    FILE* file = openRegularStream(path);
    if (file == nullptr) {
        reportWarning("Cannot open shader file!");
        return nullptr;
    }
    struct stat fileStats;
    if (fstat(fileno(file), &fileStats) != 0) {
        std::fclose(file);
        reportWarning("Cannot get file stats for shader file!");
        return nullptr;
    }
    size_t size = static_cast<size_t>(fileStats.st_size);
    char* source = static_cast<char*>(std::malloc(size + 1));
    // A size no allocation can hold (a sparse file) means the file cannot be
    // read as a source.
    if (source == nullptr) {
        std::fclose(file);
        reportWarning("Cannot open shader file!");
        return nullptr;
    }
    size_t count = std::fread(source, 1, size, file);
    source[count] = '\0';
    std::fclose(file);
    return source;
}
