// quarrelix-assets OUTDIR: writes the game's whole content tree into OUTDIR.
#include <cstdio>
#include <string>

#include "generate.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quarrelix-assets OUTDIR\n");
        return 2;
    }
    const bool verbose = argc > 2 && std::string(argv[2]) == "-v";
    return generateContent(argv[1], 2, verbose) ? 0 : 1;
}
