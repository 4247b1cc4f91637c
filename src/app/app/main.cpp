#include "app/entry.h"

int main(int argc, char** argv) {
    return pmkest::RunProgram(argc, argv);
}
