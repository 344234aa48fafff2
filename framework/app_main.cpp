// The entry point of a program built on the framework: it runs the program's
// application object, which exists as a global before this is reached.
#include "app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    Application* app = Application::Current();
    return app ? app->Run() : 0;
}
