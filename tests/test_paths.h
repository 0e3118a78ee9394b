// Where the tests find the generated content (QRX_GAME_DIR) and the fuzzers' committed inputs
// (QRX_FUZZ_REGRESSIONS), as C strings. The build writes the paths into a file of its own
// (test_paths.cpp in the build directory) and tests/CMakeLists.txt includes this header in every
// test file: as string literals on the command line the absolute paths would make every test
// file compile differently in each checkout, and CI's fresh clone would miss the compiler cache
// for all of them.
#pragma once

extern const char* const qrxTestGameDir;
extern const char* const qrxTestFuzzRegressions;
extern const char* const qrxTestOnlineRunner; // quarrelix-online, for a player to meet
#define QRX_GAME_DIR qrxTestGameDir
#define QRX_FUZZ_REGRESSIONS qrxTestFuzzRegressions
