#include "PelmarkApp.h"

int main(int argc, char** argv) {
    return RunPelmark(argc, argv);
}
