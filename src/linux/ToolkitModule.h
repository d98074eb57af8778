#pragma once
// Loading the toolkit module: beside the executable (a build tree), else in
// ../lib/velmora (installed). A module that cannot be loaded ends the program
// with a line in the log that says why, and exit code 1.
#include <memory>
#include <string>

#include "Toolkit.h"

namespace vlmr {

class ToolkitModule {
public:
    // The arguments the program was started with, for the toolkit.
    ToolkitModule(int argc, char** argv) : argc_(argc), argv_(argv) {}

    // The whole program on the toolkit; returns its exit code.
    int RunMain();
    // The toolkit, started on first use.
    Toolkit& Started();
    bool IsStarted() const { return toolkit_ != nullptr; }
    // The module's decoder of pictures other than bitmaps; the toolkit
    // itself is not started for it.
    std::unique_ptr<PictureDecoder> Decoder();

private:
    void* Entry(const char* name);

    int argc_;
    char** argv_;
    void* module_ = nullptr;
    Toolkit* toolkit_ = nullptr;
};

// Where the module is looked for, the first that exists wins.
std::string ToolkitModulePath();

}  // namespace vlmr
