#include "Ziz.h"

int main(int argc, char *argv[]) { return Ziz(argc, argv); }
