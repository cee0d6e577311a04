// The window program: kavprog, and kavprog-eng with the engineering tools.
#include "app/Program.h"

int main(int argc, char** argv) {
#ifdef KAV_ENGINEERING_BUILD
    return kav::runProgram(argc, argv, kav::BuildConfig::engineering());
#else
    return kav::runProgram(argc, argv, kav::BuildConfig::delivered());
#endif
}
