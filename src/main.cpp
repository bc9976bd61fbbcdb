#include "app/entry.h"

int main(int argc, char** argv) { return vantrel::Entry(argc, argv); }
