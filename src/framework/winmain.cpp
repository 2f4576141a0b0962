#include <windows.h>

#include "framework/application.h"

// Runs the static application object's start-up hook and ends.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    Application* application = Application::Current();
    return application != nullptr ? application->Run(instance, commandLine) : 1;
}
