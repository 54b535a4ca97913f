#include "host/Saver.h"

int main() { return host::RunSaver(); }
