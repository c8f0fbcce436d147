#pragma once
// Qt's GUI application object made only when a picture first draws text. Making it starts the
// platform integration and reads the font configuration, which costs more than drawing a whole
// map without text; a picture that draws no text (lines, fills, run-length bars, symbols) needs
// neither. The canvas asks for fonts through EnsureFontSetUp before it makes its first font.
class QGuiApplication;

namespace corvane {

class LazyGuiApplication {
public:
    // Keeps the program's arguments for the application object made later; argc and argv must
    // outlive this object. At most one at a time, made and used on the program's main thread.
    LazyGuiApplication(int& argc, char** argv);
    // Ends the application object, when one was made.
    ~LazyGuiApplication();
    LazyGuiApplication(const LazyGuiApplication&) = delete;
    LazyGuiApplication& operator=(const LazyGuiApplication&) = delete;

    // Makes the application object now, unless there is one (a program that draws text from
    // other threads makes it before they start).
    void Make();

private:
    int& argc_;
    char** argv_;
    QGuiApplication* app_ = nullptr;
};

// Called before a font is made: makes the application object of the LazyGuiApplication in force
// when there is no application object yet. Where the program made its own (the viewer, the
// tests), nothing happens.
void EnsureFontSetUp();

} // namespace corvane
