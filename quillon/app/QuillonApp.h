// The application object: runs the main window modally and closes the port when it ends.
#pragma once

class CQuillonApp {
public:
    // Runs the program; returns false, as the application keeps no message loop of its own.
    bool InitInstance();
};
