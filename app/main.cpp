#include "app/PoemApp.h"
#include "resources/ProgramResources.h"

// The one application object, built when the program loads, after the settings.
CPoemApp theApp;

int main(int argc, char* argv[]) {
    RegisterProgramResources();
    return AfxWinMain(argc, argv);
}
