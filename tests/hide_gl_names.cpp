// Preloaded into a test process: hides the names listed in SNOW_HIDDEN_GL_NAMES
// (separated by spaces) from the real GL. They are cut out of the extension string, and
// glutGetProcAddress finds no entry point by such a name. Everything else passes
// through to the real libraries untouched.
#include <GL/freeglut.h>
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> hiddenNames() {
    std::vector<std::string> names;
    const char* list = std::getenv("SNOW_HIDDEN_GL_NAMES");
    std::istringstream words(list != nullptr ? list : "");
    for (std::string name; words >> name;) names.push_back(name);
    return names;
}

bool isHidden(const char* name) {
    for (const std::string& hidden : hiddenNames()) {
        if (hidden == name) return true;
    }
    return false;
}

template <typename Function>
Function nextDefinition(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" const GLubyte* glGetString(GLenum name) {
    using GetString = const GLubyte* (*)(GLenum);
    static GetString realGetString = nextDefinition<GetString>("glGetString");
    const GLubyte* real = realGetString(name);
    if (name != GL_EXTENSIONS || real == nullptr) return real;

    // Rebuilt at every call, so a test may change the list between loads.
    static std::string filtered;
    filtered.clear();
    std::istringstream words(reinterpret_cast<const char*>(real));
    for (std::string extension; words >> extension;) {
        if (isHidden(extension.c_str())) continue;
        filtered += extension;
        filtered += ' ';
    }
    return reinterpret_cast<const GLubyte*>(filtered.c_str());
}

extern "C" GLUTproc glutGetProcAddress(const char* procName) {
    using GetProcAddress = GLUTproc (*)(const char*);
    static GetProcAddress realGetProcAddress = nextDefinition<GetProcAddress>("glutGetProcAddress");
    if (isHidden(procName)) return nullptr;
    return realGetProcAddress(procName);
}
