#pragma once

// Whether this process can reach a window system. Without one, Qt's default
// platform ends the process while the application object is made; yet the
// run modes that show no window (help, library test, settings utility,
// clean-up, server) must work at boot or over ssh. They get the offscreen
// platform; the GUI run mode refuses with one clear line.
class DisplayPlatform
{
public:
    // Call before the application object exists: chooses the offscreen
    // platform when there is neither a display nor a platform the user chose.
    static void useOffscreenWithoutDisplay();
    // Call before the application object exists: the GUI draws no OpenGL, yet
    // Qt's X11 platform would load the GL libraries (software GL alone costs
    // some 50 MB of resident memory) to probe them. Switched off unless the
    // user chose a GL integration.
    static void useNoGlIntegration();
    // False once the offscreen platform was chosen for lack of a display.
    static bool hasDisplay();
    // Writes the GUI run mode's refusal to standard error.
    static void reportNoDisplay();

private:
    static bool displayMissing;
};
