// quarrelix-assets OUTDIR: writes the game's whole content tree into OUTDIR.
#include <cstdio>
#include <string>

#include "contact_sheet.h"
#include "fighter_sheet.h"
#include "generate.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: quarrelix-assets OUTDIR [-v]\n"
                     "       quarrelix-assets --sheet DIR FILTER OUT.png WIDTH SHRINK  (contact sheet)\n"
                     "       quarrelix-assets --fighter-sheets GAMEDIR OUTDIR  (one sheet per fighter class)\n");
        return 2;
    }
    if (std::string(argv[1]) == "--sheet" && argc >= 7) {
        return writeContactSheet(argv[2], argv[3], argv[4], std::stoi(argv[5]), std::stoi(argv[6])) ? 0 : 1;
    }
    if (std::string(argv[1]) == "--fighter-sheets" && argc >= 4) return writeFighterSheets(argv[2], argv[3]) ? 0 : 1;
    const bool verbose = argc > 2 && std::string(argv[2]) == "-v";
    if (!generateContent(argv[1], 2, verbose)) {
        // A non-zero status stops the build instead of shipping half a content tree.
        std::fprintf(stderr, "quarrelix-assets: the content in %s is incomplete (see the messages above)\n", argv[1]);
        return 1;
    }
    return 0;
}
