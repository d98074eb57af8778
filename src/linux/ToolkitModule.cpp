#include "ToolkitModule.h"

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "LinuxProcess.h"
#include "store/RunLog.h"

namespace vlmr {
namespace {

[[noreturn]] void Fail(const std::string& why) {
    LogError(why);
    std::fflush(nullptr);
    ::_exit(1);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

std::string ToolkitModulePath() {
    const std::string folder = ExecutableFolder();
    const std::string beside = folder + "/" + kToolkitModuleFile;
    if (Exists(beside)) return beside;
    return (std::filesystem::path(folder) / "../lib/velmora" / kToolkitModuleFile).lexically_normal().string();
}

void* ToolkitModule::Entry(const char* name) {
    if (!module_) {
        const std::string path = ToolkitModulePath();
        // Every symbol now: a module that does not fit fails here, with its reason.
        module_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module_) {
            const char* why = ::dlerror();
            Fail("the toolkit module " + path + " cannot be loaded (" + (why ? why : "no reason given") +
                 "), and this start needs it; reinstall Velmora");
        }
    }
    void* entry = ::dlsym(module_, name);
    if (!entry) {
        const char* why = ::dlerror();
        Fail(std::string("the toolkit module has no ") + name + " (" + (why ? why : "no reason given") +
             "); reinstall Velmora");
    }
    return entry;
}

int ToolkitModule::RunMain() {
    auto* main = reinterpret_cast<ToolkitMainFunction*>(Entry(kToolkitMainName));
    return main(argc_, argv_);
}

Toolkit& ToolkitModule::Started() {
    if (!toolkit_) {
        auto* start = reinterpret_cast<ToolkitStartFunction*>(Entry(kToolkitStartName));
        toolkit_ = start(argc_, argv_);
    }
    return *toolkit_;
}

std::unique_ptr<PictureDecoder> ToolkitModule::Decoder() {
    auto* make = reinterpret_cast<PictureDecoderFunction*>(Entry(kPictureDecoderName));
    return std::unique_ptr<PictureDecoder>(make());
}

}  // namespace vlmr
