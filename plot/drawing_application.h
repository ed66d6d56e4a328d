#pragma once

// The application a drawing module makes for the tool that loads it:
// drawing text into files needs a GUI application, which a headless tool
// makes only once it knows a picture is wanted. Every drawing module has
// this entry point, looked up by this name.

class QCoreApplication;

namespace quarrow {

using MakeDrawingApplication = QCoreApplication* (*)(int& argc, char** argv);
inline constexpr const char* kMakeDrawingApplication = "quarrow_make_drawing_application";

// A QGuiApplication, offscreen unless QT_QPA_PLATFORM says otherwise: pictures
// are drawn into files, never on a screen, so no display is needed.
QCoreApplication* MakeGuiApplication(int& argc, char** argv);

}  // namespace quarrow
