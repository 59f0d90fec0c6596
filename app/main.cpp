#include "app/MainWindow.h"

int main() {
    WindowRuntime& runtime = initRuntime();
    runtime.loadWindow(mainWindowForm(runtime));
    runtime.runMessageLoop();
    return 0;
}
