#include "host/Saver.h"
#include "slideshow/ItemPreparer.h"

int main() {
    const int code = host::RunSaver();
    // A picture still being prepared is left to finish before the process's state goes.
    show::TItemPreparer::WaitForAll();
    return code;
}
