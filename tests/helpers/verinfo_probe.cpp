// A small program that carries the version record, for the tests of a
// program whose file is replaced or deleted while it runs. It first does to
// its own file what the first argument says ("keep", "delete", or "replace"
// with the file named by the second argument, as a package upgrade does),
// then prints what it reads as its own version: the version text, the title
// and the description, one a line, or "error: <message>".
#include <cstdio>
#include <exception>
#include <string>

#include <unistd.h>

#include "common/AppFolders.h"
#include "common/TxVerInfo.h"

int main(int argc, char** argv) {
    const std::string Mode = argc > 1 ? argv[1] : "keep";
    const std::string Self = oravent::AppFileName();
    if (Mode == "delete" && ::unlink(Self.c_str()) != 0) return 2;
    if (Mode == "replace" && (argc < 3 || std::rename(argv[2], Self.c_str()) != 0)) return 3;
    try {
        std::printf("%s\n%s\n%s\n", oravent::FileVersionText().c_str(),
                    oravent::ProductTitleText().c_str(), oravent::FileDescriptionText().c_str());
    } catch (const std::exception& E) {
        std::printf("error: %s\n", E.what());
        return 1;
    }
    return 0;
}
